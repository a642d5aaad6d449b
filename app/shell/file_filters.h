#pragma once
// File-dialog filters. The commands describe them in the "Description|*.a;*.b|..." form;
// Qt wants "Description (*.a *.b)". Linux file names are case-sensitive, so each
// pattern is widened to match any letter case ("*.Bmp" -> "*.[bB][mM][pP]"); the
// dialogs hide the widened patterns and show only the descriptions.
#include <QFileDialog>
#include <QString>
#include <QStringList>

namespace quarvel::app {

// "*.Bmp" -> "*.[bB][mM][pP]"; characters that are not letters stay as they are.
QString anyCaseGlob(const QString& pattern);

// Converts "desc|pat;pat|desc|pat" into Qt name filters, one per pair.
QStringList qtNameFilters(const QString& pairedFilter);

// Sets a dialog's filters and selects entry `index` (0 = the first).
void applyFilter(QFileDialog& dialog, const QString& pairedFilter, int index);

// The 1-based position of the dialog's chosen filter entry (0 when none matches).
int chosenFilterEntry(const QFileDialog& dialog);

}  // namespace quarvel::app
