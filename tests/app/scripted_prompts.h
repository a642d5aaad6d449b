#pragma once
// Answers the program's modal questions in place of a user and records what was asked.
#include <QStringList>
#include <functional>

#include "shell/user_prompts.h"

namespace quarvel::test {

class ScriptedPrompts : public app::UserPrompts {
public:
    struct Message {
        app::MessageKind kind;
        QString text;
    };

    void message(QWidget*, app::MessageKind kind, const QString& text) override {
        messages << Message{kind, text};
    }
    QMessageBox::StandardButton askYesNoCancel(QWidget*, const QString& text) override {
        questions << text;
        return answer;
    }
    bool askYesNo(QWidget*, const QString& text) override {
        questions << text;
        return yes;
    }
    bool runFileDialog(QFileDialog& dialog) override {
        ++fileDialogs;
        return fileChoice ? fileChoice(dialog) : false;
    }
    QString chooseFolder(QWidget*, const QString& caption, const QString& start) override {
        folderCaptions << caption;
        folderStarts << start;
        return folder;
    }
    int runModal(QDialog& dialog) override {
        ++modalRuns;
        if (onModal) onModal(dialog);
        return QDialog::Accepted;
    }

    QList<Message> messages;
    QStringList questions;
    QMessageBox::StandardButton answer = QMessageBox::No;
    bool yes = false;                              // the answer to Yes/No questions
    std::function<bool(QFileDialog&)> fileChoice;  // unset: the user cancels
    int fileDialogs = 0;
    QString folder;
    QStringList folderCaptions;
    QStringList folderStarts;
    int modalRuns = 0;
    std::function<void(QDialog&)> onModal;
};

}  // namespace quarvel::test
