// Picture windows driven offscreen: files, view modes, clipboard, image commands and
// their refusals, and the adjustment and resize dialogs.
#include <QAction>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include "picture/adjustment_dialog.h"
#include "picture/direction_dialog.h"
#include "picture/picture_setup.h"
#include "picture/picture_window.h"
#include "picture/qt_clipboard.h"
#include "picture/resize_dialog.h"
#include "scripted_prompts.h"
#include "shell/quarvel_frame.h"

using namespace quarvel::app;
using quarvel::imaging::ImagingModel;
using quarvel::imaging::PixelImage;
using quarvel::test::ScriptedPrompts;

namespace {

// A picture of the given depth whose pixels differ, so that filters change something.
PixelImage makePicture(int width, int height, int bitCount) {
    PixelImage image = quarvel::imaging::MakeImage(width, height, bitCount);
    if (bitCount != 24) image.palette = quarvel::imaging::GreyRamp(1 << bitCount);
    const int levels = bitCount == 24 ? 256 : (1 << bitCount);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = static_cast<std::uint8_t>((i * 37 + i / 7) % levels);
    }
    return image;
}

QByteArray fileStart(const QString& path, int bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

}  // namespace

class PictureTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TQuarvelFrame> frame;
    ScriptedPrompts* prompts = nullptr;

    TfrmPicture* newPicture(int width = 0, int height = 0, int bitCount = 24) {
        frame->New1Click();
        auto* picture = qobject_cast<TfrmPicture*>(frame->childAt(0));
        if (picture && width > 0) {
            picture->TP->apply(
                [&](ImagingModel& m) { m.SetImage(makePicture(width, height, bitCount)); });
            picture->SizeWindowToImage();
        }
        return picture;
    }
    QMdiSubWindow* subOf(QWidget* w) { return qobject_cast<QMdiSubWindow*>(w->parentWidget()); }
    void activate(QWidget* w) { frame->mdiArea().setActiveSubWindow(subOf(w)); }
    // A scripted Save dialog answer: type `name` and pick filter entry `entry` (1-based).
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

    void newPictureStartsEmptyAndEnablesButtons() {
        TfrmPicture* picture = newPicture();
        QVERIFY(picture);
        QCOMPARE(picture->caption(), kNewPictureCaption);
        QCOMPARE(picture->TP->size(), QSize(250, 250));
        QCOMPARE(picture->TP->model().Tool(), 1);
        QCOMPARE(picture->TP->model().UndoSize(), 10);
        QVERIFY(frame->ToolButton3->isEnabled());
        QVERIFY(frame->ToolButton7->isEnabled());
    }

    void saveAsAppendsTheChosenEntrysExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("pic as JPEG") << "pic" << 2 << "pic.Jpg" << QByteArray("\xFF\xD8", 2);
        QTest::newRow("pic.x as JPEG") << "pic.x" << 2 << "pic.x" << QByteArray("\xFF\xD8", 2);
        QTest::newRow("pic as BMP") << "pic" << 1 << "pic.Bmp" << QByteArray("BM");
        QTest::newRow("pic as TIFF") << "pic" << 4 << "pic.Tif" << QByteArray("II");
    }
    void saveAsAppendsTheChosenEntrysExtension() {
        QFETCH(QString, typed);
        QFETCH(int, entry);
        QFETCH(QString, written);
        QFETCH(QByteArray, magic);
        QTemporaryDir dir;
        TfrmPicture* picture = newPicture(40, 30);
        picture->Modified = true;
        answerSaveDialog(dir.filePath(typed), entry);
        picture->mnuSaveClick();  // "New Picture": Save turns into Save As
        QCOMPARE(prompts->fileDialogs, 1);
        QCOMPARE(fileStart(dir.filePath(written), magic.size()), magic);
        QCOMPARE(picture->caption(), dir.filePath(written));
        QVERIFY(!picture->Modified);
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
    }

    void cancelledSaveAsKeepsTheChangesMarked() {
        TfrmPicture* picture = newPicture(40, 30);
        picture->Modified = true;
        picture->mnuSaveClick();
        QCOMPARE(prompts->fileDialogs, 1);
        QVERIFY(picture->Modified);
        QCOMPARE(picture->caption(), kNewPictureCaption);
    }

    void failedSaveIsReportedAndKeepsTheChangesMarked() {
        TfrmPicture* picture = newPicture(40, 30);
        picture->Modified = true;
        answerSaveDialog(QStringLiteral("/nonexistent-folder/pic"), 1);
        picture->mnuSaveClick();
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(picture->Modified);
        QCOMPARE(picture->caption(), kNewPictureCaption);
    }

    void savedPictureLoadsBackIntoANewWindow() {
        QTemporaryDir dir;
        TfrmPicture* picture = newPicture(40, 30);
        answerSaveDialog(dir.filePath("round"), 1);
        QVERIFY(picture->mnuSaveAsClick());
        auto* loaded = qobject_cast<TfrmPicture*>(frame->openPicture(dir.filePath("round.Bmp")));
        QCOMPARE(loaded->caption(), dir.filePath("round.Bmp"));
        QCOMPARE(loaded->TP->model().ImageWidth(), 40);
        QCOMPARE(loaded->viewport()->size(), QSize(40, 30));
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
        QCOMPARE(frame->status().detail(), QStringLiteral("40x30x24"));
    }

    void unreadableFileLeavesAnEmptyWindowAndSaysWhy() {
        const QString path = QStringLiteral("/nonexistent/missing.bmp");
        auto* picture = qobject_cast<TfrmPicture*>(frame->openPicture(path));
        QVERIFY(picture);
        QCOMPARE(picture->caption(), kNewPictureCaption);
        QVERIFY(!picture->TP->model().HasImage());
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(prompts->messages[0].text.contains(path));
        QCOMPARE(frame->status().message(), QStringLiteral("Ready..."));
    }

    void fitWindowSnapsBackToThePicture() {
        TfrmPicture* picture = newPicture(120, 80);
        QCOMPARE(picture->viewport()->size(), QSize(120, 80));
        subOf(picture)->resize(400, 300);
        QTRY_COMPARE(picture->viewport()->size(), QSize(120, 80));
    }

    void viewModesStretchOrScroll() {
        TfrmPicture* picture = newPicture(120, 80);
        picture->findChild<QAction*>("mnuFitPicture")->trigger();
        QCOMPARE(picture->FitMode, ViewMode::FitPicture);
        subOf(picture)->resize(300, 200);
        QCOMPARE(picture->TP->size(), picture->viewport()->size());
        QVERIFY(picture->TP->model().FitToSize());
        picture->findChild<QAction*>("mnuScrollBars")->trigger();
        QCOMPARE(picture->FitMode, ViewMode::ScrollBars);
        subOf(picture)->resize(100, 100);
        QCOMPARE(picture->TP->size(), QSize(120, 80));
        picture->findChild<QAction*>("mnuFitWindow")->trigger();
        QCOMPARE(picture->viewport()->size(), QSize(120, 80));
    }

    void closingTheLastPictureDisablesPictureButtons() {
        TfrmPicture* first = newPicture();
        newPicture();
        subOf(first)->close();
        QVERIFY(frame->ToolButton3->isEnabled());
        subOf(qobject_cast<QWidget*>(frame->childAt(0)))->close();
        for (QAction* a :
             {frame->ToolButton3, frame->ToolButton4, frame->ToolButton6, frame->ToolButton7}) {
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        }
    }

    void closeAsksAboutUnsavedChanges() {
        TfrmPicture* picture = newPicture(20, 20);
        picture->Modified = true;
        prompts->answer = QMessageBox::Cancel;
        QVERIFY(!subOf(picture)->close());
        QCOMPARE(prompts->questions, QStringList{"Save changes to New Picture?"});
        prompts->answer = QMessageBox::No;
        QVERIFY(subOf(picture)->close());
    }

    void newImageThenPasteKeepsTheNewPictureName() {
        QtClipboardPort::instance().putImage(makePicture(64, 48, 24));
        TfrmPicture* picture = newPicture();
        picture->mnuPasteClick();
        QCOMPARE(picture->TP->model().ImageWidth(), 64);
        QCOMPARE(picture->viewport()->size(), QSize(64, 48));
        QCOMPARE(picture->caption(), kNewPictureCaption);
        picture->mnuSaveClick();
        QCOMPARE(prompts->fileDialogs, 1);
    }

    void cropKeepsTheSelectionOrAsksForOne() {
        TfrmPicture* picture = newPicture(100, 80);
        picture->mnuCropClick();
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0].text, QStringLiteral("Select Area and try again"));
        QVERIFY(!picture->Modified);
        picture->TP->model().SetSelection({10, 20, 30, 40});
        picture->mnuCropClick();
        QCOMPARE(picture->TP->model().ImageWidth(), 30);
        QCOMPARE(picture->viewport()->size(), QSize(30, 40));
        QVERIFY(picture->Modified);
    }

    void draggingTheMouseSelectsARectangle() {
        TfrmPicture* picture = newPicture(100, 80);
        QTest::mousePress(picture->TP, Qt::LeftButton, {}, QPoint(10, 12));
        QTest::mouseMove(picture->TP, QPoint(40, 30));
        QTest::mouseRelease(picture->TP, Qt::LeftButton, {}, QPoint(40, 30));
        const auto selection = picture->TP->model().Selection();
        QCOMPARE(selection.x, 10);
        QCOMPARE(selection.y, 12);
        QCOMPARE(selection.width, 30);
        QCOMPARE(selection.height, 18);
        QTest::mouseClick(picture->TP, Qt::LeftButton, {}, QPoint(50, 50));
        QVERIFY(!picture->TP->model().HasSelection());
    }

    void undoAtTheBottomOnlySaysSo() {
        TfrmPicture* picture = newPicture();
        picture->mnuUndoClick();
        QCOMPARE(frame->status().message(), QStringLiteral("Can Not Undo - At Top Level..."));
    }

    void refusalsAndSilentSkips_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("kind");  // -1: nothing is shown
        QTest::addColumn<QString>("text");
        const int info = int(MessageKind::Information);
        const int confirm = int(MessageKind::Confirmation);
        QTest::newRow("Sharpen 8") << "mnuSharpen" << 8 << info << "Works on 24 Bit Images only";
        QTest::newRow("Emboss 8") << "mnuEmboss" << 8 << info << "Works on 24 Bit Images only";
        QTest::newRow("Popularity 8") << "Popularity1" << 8 << confirm << "Image is already 8 Bits";
        QTest::newRow("B and W 8")
            << "BlackandWhite2" << 8 << confirm << "Image is 8 Bit. Convert to Millions Colors";
        QTest::newRow("Reduce 24") << "mnuReduceTo64" << 24 << info << "Works on 8 Bit Images only";
        QTest::newRow("Flip 4") << "mnuFlip" << 4 << confirm << "Works on 24 and 8 Bit Images only";
        QTest::newRow("Texture 4")
            << "mnu3dShade2" << 4 << info << "Works on 24 and 8 Bit Images only";
        QTest::newRow("To 16 on 4") << "mnuConvertTo16" << 4 << -1 << QString();
        QTest::newRow("8 colours on 1") << "mnu8Colors" << 1 << -1 << QString();
        QTest::newRow("Millions on 24") << "mnuConvertToMillions" << 24 << -1 << QString();
    }
    void refusalsAndSilentSkips() {
        QFETCH(QString, command);
        QFETCH(int, depth);
        QFETCH(int, kind);
        QFETCH(QString, text);
        TfrmPicture* picture = newPicture(16, 12, depth);
        const int steps = picture->TP->model().UndoCount();
        QAction* action = picture->imageCommand(command);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(picture->TP->model().UndoCount(), steps);
        QCOMPARE(picture->TP->model().ImageBitCount(), depth);
        QVERIFY(!picture->Modified);
        if (kind < 0) {
            QVERIFY(prompts->messages.isEmpty());
        } else {
            QCOMPARE(prompts->messages.size(), 1);
            QCOMPARE(int(prompts->messages[0].kind), kind);
            QCOMPARE(prompts->messages[0].text, text);
        }
    }

    void commandsRunAndReport_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QString>("status");
        QTest::newRow("Grey Scale 24") << "GreyScale1" << 24 << "Ready...";
        QTest::newRow("Sharpen 24") << "mnuSharpen" << 24 << "Ready...";
        QTest::newRow("Matched filter") << "mnuMatchedFilter" << 24 << "Ready...";
        QTest::newRow("Laplace: no Ready") << "mnuLaplace" << 24 << "before";
        QTest::newRow("Sobel: no Ready") << "mnuSobel" << 24 << "before";
        QTest::newRow("Reduce 8") << "mnuReduce16" << 8 << "Ready...";
        QTest::newRow("To 16 on 8") << "mnuConvertTo16" << 8 << "Ready...";
    }
    void commandsRunAndReport() {
        QFETCH(QString, command);
        QFETCH(int, depth);
        QFETCH(QString, status);
        TfrmPicture* picture = newPicture(16, 12, depth);
        frame->status().setMessage(QStringLiteral("before"));
        const int steps = picture->TP->model().UndoCount();
        picture->imageCommand(command)->trigger();
        QCOMPARE(picture->TP->model().UndoCount(), steps + 1);
        QVERIFY(picture->Modified);
        QCOMPARE(frame->status().message(), status);
        QVERIFY(prompts->messages.isEmpty());
    }

    void threeDShadeConverts8BitBeforeAskingForADirection() {
        TfrmPicture* picture = newPicture(16, 12, 8);
        int depthWhenAsked = 0;
        prompts->onModal = [&](QDialog& dialog) {
            depthWhenAsked = picture->TP->model().ImageBitCount();
            static_cast<TfrmDirection&>(dialog).directionButton(7).click();
        };
        picture->imageCommand("mnu3dShade")->trigger();
        QCOMPARE(depthWhenAsked, 24);
        QCOMPARE(frame->jobState().LightDirection, std::uint8_t{7});
        QCOMPARE(prompts->modalRuns, 1);
        QVERIFY(picture->Modified);
    }

    void rotate90RefitsTheWindow() {
        TfrmPicture* picture = newPicture(120, 80);
        picture->imageCommand("Flip901")->trigger();
        QCOMPARE(picture->viewport()->size(), QSize(80, 120));
    }

    void targetWindowIsThePicturesPositionAfterTheNextWindow() {
        TfrmPicture* older = newPicture(20, 20);
        newPicture(20, 20);
        activate(older);
        older->NoteTargetWindow();
        QCOMPARE(frame->jobState().TargetWindowIndex, 2);
    }

    void contrastLimits_data() {
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::newRow("2: 2.5 rounds to even") << 2 << 2 << 253;
        QTest::newRow("6: 7.5 rounds to even") << 6 << 8 << 247;
        QTest::newRow("100") << 100 << 125 << 130;
    }
    void contrastLimits() {
        QFETCH(int, slider);
        QFETCH(int, low);
        QFETCH(int, high);
        QCOMPARE(ContrastLimits(slider), std::make_pair(low, high));
    }

    void adjustmentPreviewsAccumulateResetAndApply() {
        TfrmPicture* picture = newPicture(24, 16);
        const PixelImage original = picture->TP->model().Picture();
        activate(picture);
        picture->imageCommand("mnuAdjustImge")->trigger();
        QVERIFY(picture->Modified);
        auto* dialog = qobject_cast<TfrmAdjustment1*>(frame->childAt(0));
        QVERIFY(dialog);
        QCOMPARE(dialog->TP->model().ImageWidth(), 24);
        QVERIFY(!dialog->btnApply->isEnabled());
        dialog->Slider1->setValue(50);
        dialog->PreviewClick();
        dialog->PreviewClick();
        // Each preview is a colour step and a brightness step.
        QCOMPARE(dialog->TP->model().UndoCount(), 4);
        dialog->ResetClick();
        QCOMPARE(dialog->TP->model().UndoCount(), 0);
        QCOMPARE(dialog->TP->model().Picture().pixels, original.pixels);
        QVERIFY(!dialog->btnReset->isEnabled());
        dialog->PreviewClick();
        const PixelImage previewed = dialog->TP->model().Picture();
        QVERIFY(previewed.pixels != original.pixels);
        dialog->ApplyClick();
        QCOMPARE(picture->TP->model().Picture().pixels, previewed.pixels);
    }

    void dialogsKeepTheirPictureWhateverThePositionSays() {
        TfrmPicture* picture = newPicture(24, 16);
        activate(picture);
        picture->imageCommand("mnuAdjustImge")->trigger();
        auto* dialog = qobject_cast<TfrmAdjustment1*>(frame->childAt(0));
        dialog->Slider4->setValue(40);
        dialog->PreviewClick();
        const std::vector<std::uint8_t> before = picture->TP->model().Picture().pixels;
        frame->jobState().TargetWindowIndex = 0;  // the dialog itself
        dialog->ApplyClick();
        QVERIFY(picture->TP->model().Picture().pixels != before);
        frame->jobState().TargetWindowIndex = 5;  // nothing there
        dialog->ApplyClick();
        QCOMPARE(picture->TP->model().Picture().pixels, dialog->TP->model().Picture().pixels);
        QVERIFY(prompts->messages.isEmpty());
    }

    void resizeByHalfHalvesPictureAndWindow() {
        TfrmPicture* picture = newPicture(120, 80);
        activate(picture);
        picture->imageCommand("Resize1")->trigger();
        auto* dialog = qobject_cast<TfrmResize*>(frame->childAt(0));
        QVERIFY(dialog);
        dialog->Edit1->setText(QStringLiteral("0.5"));
        dialog->ResizeClick();
        QCOMPARE(picture->TP->model().ImageWidth(), 60);
        QCOMPARE(picture->TP->model().ImageHeight(), 40);
        QCOMPARE(picture->viewport()->size(), QSize(60, 40));
        dialog->Edit1->setText(QStringLiteral("-1"));
        dialog->ResizeClick();
        QCOMPARE(picture->TP->model().ImageWidth(), 60);
    }

    void createCommandsAreEnabledOnlyWhenWiredIn() {
        TfrmPicture* before = newPicture();
        QVERIFY(!before->mnuRasterToVector->isEnabled());
        TfrmPicture* ran = nullptr;
        frame->setRasterToVectorCommand([&](TfrmPicture& p) { ran = &p; });
        TfrmPicture* after = newPicture();
        QVERIFY(after->mnuRasterToVector->isEnabled());
        QVERIFY(!after->mnuGCode->isEnabled());
        after->mnuRasterToVector->trigger();
        QCOMPARE(ran, after);
    }

    void loadPluginsAsksForAFolderFirst() {
        TfrmPicture* picture = newPicture(20, 20);
        picture->mnuLoadPluginsClick();
        QCOMPARE(prompts->folderCaptions, QStringList{"Select Plug Ins Path"});
        QVERIFY(frame->jobState().PluginPath.empty());
        QTemporaryDir dir;
        prompts->folder = dir.path();
        picture->mnuLoadPluginsClick();
        QCOMPARE(picture->TP->model().PluginPathName(), dir.path().toStdString());
        QCOMPARE(frame->status().message(), QStringLiteral("Right click image for plugins..."));
    }

    void imagingProgressReachesTheStatusBar() {
        TfrmPicture* picture = newPicture(20, 20);
        auto& job = frame->jobState();
        job.ProgressCounter = 0;
        emit picture->TP->progressReport(50, 100);
        QCOMPARE(frame->status().gauge().position(), 50);
        QCOMPARE(job.ProgressCounter, 10);
        emit picture->TP->progressReport(8, 100);
        QCOMPARE(frame->status().gauge().position(), 50);
        QCOMPARE(job.ProgressCounter, 10);
        emit picture->TP->progressReport(96, 100);
        QCOMPARE(job.ProgressCounter, 0);
        QCOMPARE(frame->status().detail(), QStringLiteral("Done"));
        QVERIFY(!frame->status().gauge().isGaugeEnabled());
    }

    void escapeInAPictureWindowIsNotSeen() {
        TfrmPicture* picture = newPicture(20, 20);
        picture->TP->setFocus();
        QTest::keyClick(picture->TP, Qt::Key_Escape);
        QVERIFY(!frame->jobState().CancelRequested);
    }
};

QTEST_MAIN(PictureTest)
#include "picture_test.moc"
