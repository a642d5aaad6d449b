#include "shell/file_filters.h"

namespace quarvel::app {

QString anyCaseGlob(const QString& pattern) {
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        } else {
            result += c;
        }
    }
    return result;
}

QStringList qtNameFilters(const QString& pairedFilter) {
    const QStringList parts = pairedFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList globs;
        for (const QString& glob : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            globs << anyCaseGlob(glob.trimmed());
        }
        filters << parts[i] + QStringLiteral(" (") + globs.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

void applyFilter(QFileDialog& dialog, const QString& pairedFilter, int index) {
    const QStringList filters = qtNameFilters(pairedFilter);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(filters);
    if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
}

int chosenFilterEntry(const QFileDialog& dialog) {
    // With the patterns hidden, the dialog may report the description alone.
    const QString chosen = dialog.selectedNameFilter();
    const QStringList filters = dialog.nameFilters();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString description = filters[i].left(filters[i].lastIndexOf(QStringLiteral(" (")));
        if (filters[i] == chosen || description == chosen) return static_cast<int>(i) + 1;
    }
    return 0;
}

}  // namespace quarvel::app
