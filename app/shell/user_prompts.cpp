#include "shell/user_prompts.h"

#include <QApplication>

namespace quarvel::app {

namespace {
QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information: return QMessageBox::Information;
        case MessageKind::Confirmation: return QMessageBox::Question;
        case MessageKind::Warning: return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

void UserPrompts::message(QWidget* parent, MessageKind kind, const QString& text) {
    QMessageBox box(iconOf(kind), QApplication::applicationDisplayName(), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

QMessageBox::StandardButton UserPrompts::askYesNoCancel(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool UserPrompts::askYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool UserPrompts::runFileDialog(QFileDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

QString UserPrompts::chooseFolder(QWidget* parent, const QString& caption,
                                  const QString& startFolder) {
    return QFileDialog::getExistingDirectory(parent, caption, startFolder);
}

int UserPrompts::runModal(QDialog& dialog) { return dialog.exec(); }

}  // namespace quarvel::app
