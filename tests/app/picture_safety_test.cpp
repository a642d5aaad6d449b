// The user's work is never lost: closing the program asks about every changed picture,
// every pixel change marks the picture changed, Save As does not replace a file unasked,
// dialogs act on their own picture, and failures are shown rather than left in the status.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include "picture/adjustment_dialog.h"
#include "picture/picture_setup.h"
#include "picture/picture_window.h"
#include "picture/qt_clipboard.h"
#include "picture/resize_dialog.h"
#include "picture/texture_shade_dialog.h"
#include "scripted_prompts.h"
#include "shell/quarvel_frame.h"

using namespace quarvel::app;
using quarvel::imaging::ImagingModel;
using quarvel::imaging::PixelImage;
using quarvel::test::ScriptedPrompts;

namespace {

PixelImage makePicture(int width, int height) {
    PixelImage image = quarvel::imaging::MakeImage(width, height, 24);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = static_cast<std::uint8_t>((i * 37 + i / 7) % 256);
    }
    return image;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class PictureSafetyTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TQuarvelFrame> frame;
    ScriptedPrompts* prompts = nullptr;

    TfrmPicture* newPicture(int width = 40, int height = 30) {
        frame->New1Click();
        auto* picture = qobject_cast<TfrmPicture*>(frame->childAt(0));
        picture->TP->apply([&](ImagingModel& m) { m.SetImage(makePicture(width, height)); });
        picture->SizeWindowToImage();
        return picture;
    }
    QMdiSubWindow* subOf(QWidget* w) { return qobject_cast<QMdiSubWindow*>(w->parentWidget()); }
    void activate(QWidget* w) { frame->mdiArea().setActiveSubWindow(subOf(w)); }
    template <typename Dialog>
    Dialog* openDialog(TfrmPicture* picture, const char* command) {
        activate(picture);
        picture->imageCommand(QString::fromLatin1(command))->trigger();
        return qobject_cast<Dialog*>(frame->childAt(0));
    }
    void answerSaveDialog(const QString& name, int entry) {
        prompts->fileChoice = [name, entry](QFileDialog& dialog) {
            dialog.selectNameFilter(dialog.nameFilters().value(entry - 1));
            dialog.selectFile(name);
            return true;
        };
    }

private slots:
    void init() {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        frame = std::make_unique<TQuarvelFrame>(std::move(scripted));
        installPictureWindows(*frame);
        frame->resize(900, 700);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup() { frame.reset(); }

    void exitAsksAboutEveryChangedPictureAndCancelKeepsTheProgram() {
        TfrmPicture* first = newPicture();
        TfrmPicture* second = newPicture();
        first->Modified = true;
        second->Modified = true;
        prompts->answer = QMessageBox::Cancel;
        frame->Exit1->trigger();
        QVERIFY(frame->isVisible());
        QCOMPARE(prompts->questions, QStringList{"Save changes to New Picture?"});
        QCOMPARE(frame->childWindows().size(), 2);

        // Yes on an unnamed picture opens Save As; cancelling it keeps everything open.
        prompts->answer = QMessageBox::Yes;
        QVERIFY(!frame->close());
        QCOMPARE(prompts->fileDialogs, 1);
        QCOMPARE(frame->childWindows().size(), 2);

        prompts->answer = QMessageBox::No;
        QVERIFY(frame->close());
        QCOMPARE(prompts->questions.size(), 4);
        QVERIFY(!frame->isVisible());
    }

    void unchangedPicturesCloseWithoutAQuestion() {
        newPicture();
        QVERIFY(frame->close());
        QVERIFY(prompts->questions.isEmpty());
    }

    void everyPixelChangeMarksThePicture_data() {
        QTest::addColumn<QString>("command");
        for (const char* c : {"cut", "paste", "crop", "undo", "plug-in", "adjustment apply",
                              "texture apply", "resize"}) {
            QTest::newRow(c) << QString::fromLatin1(c);
        }
    }
    void everyPixelChangeMarksThePicture() {
        QFETCH(QString, command);
        TfrmPicture* picture = newPicture(40, 30);
        picture->TP->model().SetSelection({2, 2, 10, 10});
        QtClipboardPort::instance().putImage(makePicture(8, 6));
        QWidget* dialog = nullptr;
        if (command == "adjustment apply") dialog = openDialog<QWidget>(picture, "mnuAdjustImge");
        if (command == "texture apply") dialog = openDialog<QWidget>(picture, "mnu3dShade2");
        if (command == "resize") dialog = openDialog<QWidget>(picture, "Resize1");
        if (command == "undo") picture->imageCommand("mnuConvertToNegative")->trigger();
        picture->Modified = false;
        if (command == "cut") picture->mnuCutClick();
        if (command == "paste") picture->mnuPasteClick();
        if (command == "crop") picture->mnuCropClick();
        if (command == "undo") picture->mnuUndoClick();
        if (command == "plug-in") emit picture->TP->pluginFilterComplete();
        if (auto* adjust = qobject_cast<TfrmAdjustment1*>(dialog)) adjust->ApplyClick();
        if (auto* texture = qobject_cast<TfrmLambert*>(dialog)) texture->ApplyClick();
        if (auto* resize = qobject_cast<TfrmResize*>(dialog)) {
            resize->Edit1->setText(QStringLiteral("0.5"));
            resize->ResizeClick();
        }
        QVERIFY(picture->Modified);
    }

    void saveAsAsksBeforeReplacingAFileNamedByTheAddedExtension() {
        QTemporaryDir dir;
        const QString existing = dir.filePath("pic.Jpg");
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        TfrmPicture* picture = newPicture();
        picture->Modified = true;
        answerSaveDialog(dir.filePath("pic"), 2);
        prompts->yes = false;
        QVERIFY(!picture->mnuSaveAsClick());
        QCOMPARE(prompts->questions,
                 QStringList{QDir::toNativeSeparators(existing) + " already exists. Replace it?"});
        QCOMPARE(fileBytes(existing), QByteArray("keep me"));
        QVERIFY(picture->Modified);
        QCOMPARE(picture->caption(), kNewPictureCaption);
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));

        prompts->yes = true;
        QVERIFY(picture->mnuSaveAsClick());
        QVERIFY(fileBytes(existing).startsWith("\xff\xd8"));
        QCOMPARE(picture->caption(), existing);

        // Its own file again: nothing to ask.
        prompts->questions.clear();
        QVERIFY(picture->mnuSaveAsClick());
        QVERIFY(prompts->questions.isEmpty());
    }

    void dialogsApplyToTheirOwnPictureUntilItCloses() {
        TfrmPicture* own = newPicture(24, 16);
        auto* dialog = openDialog<TfrmAdjustment1>(own, "mnuAdjustImge");
        QVERIFY(dialog);
        // Newer windows move the picture away from the position noted when it opened.
        TfrmPicture* other = newPicture(24, 16);
        const std::vector<std::uint8_t> otherBefore = other->TP->model().Picture().pixels;
        dialog->Slider4->setValue(40);
        dialog->PreviewClick();
        dialog->ApplyClick();
        QCOMPARE(own->TP->model().Picture().pixels, dialog->TP->model().Picture().pixels);
        QCOMPARE(other->TP->model().Picture().pixels, otherBefore);

        own->Modified = false;
        const QPointer<TfrmPicture> closing = own;
        subOf(own)->close();
        QTRY_VERIFY(closing.isNull());
        dialog->ApplyClick();
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(other->TP->model().Picture().pixels, otherBefore);
    }

    void resizeBeyondTheLimitsSaysWhy() {
        TfrmPicture* picture = newPicture(40, 30);
        auto* dialog = openDialog<TfrmResize>(picture, "Resize1");
        dialog->Edit1->setText(QStringLiteral("5000"));
        dialog->ResizeClick();
        QCOMPARE(picture->TP->model().ImageWidth(), 40);
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0].text,
                 QString::fromStdString(picture->TP->model().LastError()));
        QVERIFY(!prompts->messages[0].text.isEmpty());
    }

    void aFileSystemErrorDuringSaveIsShownAndTheStatusIsIdle() {
        TfrmPicture* picture = newPicture();
        // A name longer than any folder entry may be: the file system refuses it.
        QTemporaryDir dir;
        answerSaveDialog(dir.filePath(QString(300, QLatin1Char('x')) + ".bmp"), 1);
        QVERIFY(!picture->mnuSaveAsClick());
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(prompts->messages[0].text.startsWith(QStringLiteral("Could not save ")));
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
    }

    void detailFollowsEveryChangeAndFitsItsPanel() {
        TfrmPicture* picture = newPicture(200, 150);
        picture->TP->model().SetImageXRes(1);
        auto* dialog = openDialog<TfrmResize>(picture, "Resize1");
        dialog->Edit1->setText(QStringLiteral("0.5"));
        dialog->ResizeClick();
        QVERIFY(frame->status().detail().startsWith(QStringLiteral("100x75x24")));
        activate(picture);
        picture->mnuUndoClick();
        QCOMPARE(frame->status().detail(), QStringLiteral("200x150x24 1dpi"));
        frame->resize(610, 458);  // the frame's designed size
        for (QLabel* label : frame->status().findChildren<QLabel*>()) {
            if (label->text() != frame->status().detail()) continue;
            QVERIFY(label->contentsRect().width() >=
                    label->fontMetrics().horizontalAdvance(label->text()));
        }
    }

    void failedLoadLeavesTheStatusIdle() {
        frame->openPicture(QStringLiteral("/nonexistent/missing.bmp"));
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
    }

    void fileDialogsStartBesideTheActivePicture() {
        QTemporaryDir first;
        QTemporaryDir second;
        QString seen;
        auto watch = [this, &seen] {
            prompts->fileChoice = [&seen](QFileDialog& dialog) {
                seen = dialog.directory().absolutePath();
                return false;
            };
        };
        watch();
        frame->Load1Click();
        QCOMPARE(seen, QDir::homePath());

        TfrmPicture* inFirst = newPicture();
        answerSaveDialog(first.filePath("a"), 1);
        QVERIFY(inFirst->mnuSaveAsClick());
        TfrmPicture* inSecond = newPicture();
        answerSaveDialog(second.filePath("b"), 1);
        QVERIFY(inSecond->mnuSaveAsClick());
        watch();
        newPicture();  // no file yet: the folder last used stands
        frame->Load1Click();
        QCOMPARE(seen, QDir(second.path()).absolutePath());
        activate(inFirst);
        frame->Load1Click();
        QCOMPARE(seen, QDir(first.path()).absolutePath());
        inFirst->mnuSaveAsClick();
        QCOMPARE(seen, QDir(first.path()).absolutePath());
    }

    void adjustmentResetReturnsToTheOriginalAfterManyPreviews() {
        TfrmPicture* picture = newPicture(24, 16);
        const PixelImage original = picture->TP->model().Picture();
        auto* dialog = openDialog<TfrmAdjustment1>(picture, "mnuAdjustImge");
        dialog->Slider1->setValue(30);
        for (int i = 0; i < 6; ++i) dialog->PreviewClick();  // 12 steps: more than are kept
        dialog->ResetClick();
        QCOMPARE(dialog->TP->model().Picture().pixels, original.pixels);
    }
};

QTEST_MAIN(PictureSafetyTest)
#include "picture_safety_test.moc"
