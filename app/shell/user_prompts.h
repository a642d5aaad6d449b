#pragma once
// Every modal question the program asks: message boxes, the shared file dialogs, the
// folder chooser and modal dialogs. Windows ask through this one object so that tests
// can answer in place of a user.
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>

namespace quarvel::app {

enum class MessageKind { Information, Confirmation, Warning };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A box with the single button OK.
    virtual void message(QWidget* parent, MessageKind kind, const QString& text);
    // A warning box with Yes, No and Cancel; returns the button chosen.
    virtual QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text);
    // A warning box with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text);
    // Shows a file dialog; true when the user confirmed a file.
    virtual bool runFileDialog(QFileDialog& dialog);
    // A folder chooser; empty when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& caption,
                                 const QString& startFolder);
    // Shows a dialog modally and returns its result code.
    virtual int runModal(QDialog& dialog);
};

}  // namespace quarvel::app
