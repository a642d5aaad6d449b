// The surface job dialog driven offscreen: defaults from the picture, field linking, the
// gouge box, Create writing G-code and DXF files, refusals, Cancel, Escape, and opening
// from a picture window of the frame.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include "picture/picture_setup.h"
#include "picture/picture_window.h"
#include "scripted_prompts.h"
#include "shell/quarvel_frame.h"
#include "shell/status_panels.h"
#include "surface/machine_choice.h"
#include "surface/surface_commands.h"
#include "surface/surface_dialog.h"

using namespace quarvel::app;
using quarvel::JobState;
using quarvel::TZGrid;
using quarvel::surface::PictureFacts;
using quarvel::surface::SurfaceField;
using quarvel::test::ScriptedPrompts;

namespace {

// One dialog on its own, with the services a frame would lend it.
struct Harness {
    JobState job;
    StatusPanels status;
    ScriptedPrompts prompts;
    QFileDialog saveDialog;
    QList<QPair<int, int>> writtenResolutions;
    QPointer<TDXF> dialog;

    Harness(std::int32_t mode, TZGrid grid, PictureFacts picture, QString pictureFile = {}) {
        saveDialog.setOption(QFileDialog::DontUseNativeDialog);
        saveDialog.setAcceptMode(QFileDialog::AcceptSave);
        job.JobMode = static_cast<quarvel::JobModeCode>(mode);
        job.HeightGrid = std::move(grid);
        job.JobFileName = "pic (1).bmp";
        dialog = new TDXF({job, status, prompts, saveDialog, picture,
                           [this](int x, int y) { writtenResolutions << qMakePair(x, y); },
                           std::move(pictureFile)});
    }
    ~Harness() { delete dialog.data(); }

    QString text(SurfaceField f) const { return dialog->fieldEdit(f)->text(); }
    void type(SurfaceField f, const QString& text) {
        QLineEdit* edit = dialog->fieldEdit(f);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void answerSave(const QString& path) {
        prompts.fileChoice = [path](QFileDialog& d) {
            d.selectFile(path);
            return true;
        };
    }
    bool closed() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog.isNull();
    }
};

Harness picture200x100(std::int32_t mode, QString pictureFile = {}) {
    const int frame = mode == quarvel::jobModeNumber(quarvel::JobModeCode::DxfSurface) ? 2 : 0;
    return Harness(mode, TZGrid(100 + frame, 200 + frame, 255), {200, 100, 100, 100},
                   std::move(pictureFile));
}

QList<QByteArray> fileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r')) return {};  // every line ends in CR LF
        line.chop(1);
    }
    return lines;
}

}  // namespace

class SurfaceDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // Every case starts from the first run's machine choice.
    void init() {
        QWidget parent;
        MachineChoice plain(&parent, 0, 0, 160, 25);
        plain.machines->setCurrentIndex(0);
        plain.units->setCurrentIndex(0);
        plain.remember();
    }

    void defaultsFromPicture_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("sizeX");
        QTest::addColumn<QString>("sizeY");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("gCodeFieldsShown");
        QTest::newRow("dxf surface") << 10 << "2.01"
                                     << "1.01"
                                     << "Create DXf Surface" << false;
        QTest::newRow("g-code") << 20 << "1.99"
                                << "0.99"
                                << "Create G-Code File" << true;
    }
    void defaultsFromPicture() {
        QFETCH(int, mode);
        QFETCH(bool, gCodeFieldsShown);
        Harness h = picture200x100(mode);
        QTEST(h.text(SurfaceField::SizeX), "sizeX");
        QTEST(h.text(SurfaceField::SizeY), "sizeY");
        QCOMPARE(h.text(SurfaceField::StepX), QString("0.010"));
        QCOMPARE(h.text(SurfaceField::StepY), QString("0.010"));
        QCOMPARE(h.dialog->AspectRatio(), 2.0);
        QTEST(h.dialog->windowTitle(), "caption");
        QVERIFY(h.dialog->CheckBox1->isChecked());
        QVERIFY(h.dialog->chkGouge->isChecked());
        QCOMPARE(h.dialog->cmbType->currentText(), QString("End Mill"));
        QCOMPARE(h.dialog->txtDia->text(), QString(".125"));
        const QList<QWidget*> gCodeOnly = {h.dialog->Edit6,  h.dialog->Label6, h.dialog->Edit7,
                                           h.dialog->Label7, h.dialog->Edit8,  h.dialog->Label8};
        for (QWidget* w : gCodeOnly) {
            QCOMPARE(!w->isHidden(), gCodeFieldsShown);
        }
        QCOMPARE(h.dialog->width(), h.dialog->Frm1->geometry().right() + 1 + 10);
        QCOMPARE(h.dialog->height(), h.dialog->Frm1->geometry().bottom() + 1 + 55);
        QCOMPARE(h.dialog->ProgressBar1->geometry().bottom(), h.dialog->height() - 1);
    }

    void toolListAndShownHints() {
        Harness h = picture200x100(20);
        QStringList tools;
        const QComboBox* list = h.dialog->cmbType;
        for (int i = 0; i < list->count(); ++i) tools << list->itemText(i);
        QCOMPARE(tools, QStringList({"End Mill", "Ball Mill", "45 Deg V", "60 Deg V"}));
        QCOMPARE(h.dialog->Edit1->toolTip(), QString("Width in Units"));
        QCOMPARE(h.dialog->Edit6->toolTip(), QString("Feedrate to Set"));
        QVERIFY(h.dialog->Edit7->toolTip().isEmpty());
        QVERIFY(h.dialog->CheckBox1->toolTip().isEmpty());  // its hint is kept, not shown
    }

    void missingResolutionsAreFilledAndWrittenBack_data() {
        QTest::addColumn<int>("xRes");
        QTest::addColumn<int>("yRes");
        QTest::addColumn<int>("filledX");
        QTest::addColumn<int>("filledY");
        QTest::newRow("none") << 0 << 0 << 100 << 100;
        QTest::newRow("x only") << 72 << 0 << 72 << 72;
        QTest::newRow("y only") << 0 << 300 << 300 << 300;
        QTest::newRow("both") << 50 << 200 << 50 << 200;
    }
    void missingResolutionsAreFilledAndWrittenBack() {
        QFETCH(int, xRes);
        QFETCH(int, yRes);
        QFETCH(int, filledX);
        QFETCH(int, filledY);
        Harness h(20, TZGrid(100, 200, 255), {200, 100, xRes, yRes});
        QCOMPARE(h.writtenResolutions, (QList<QPair<int, int>>{{filledX, filledY}}));
    }

    void sizeAndStepFieldsLink() {
        Harness h = picture200x100(20);
        h.type(SurfaceField::SizeX, "4");
        QCOMPARE(h.text(SurfaceField::SizeX), QString("4"));
        QCOMPARE(h.text(SurfaceField::SizeY), QString("2.000"));
        QCOMPARE(h.text(SurfaceField::StepX), QString("0.020"));
        QCOMPARE(h.text(SurfaceField::StepY), QString("0.020"));
        h.type(SurfaceField::StepX, "0.001");
        QCOMPARE(h.text(SurfaceField::StepX), QString("0.001"));  // left as typed
        QCOMPARE(h.text(SurfaceField::StepY), QString("0.020"));  // one cell at least

        h.dialog->CheckBox1->setChecked(false);
        h.type(SurfaceField::SizeY, "3");
        QCOMPARE(h.text(SurfaceField::SizeX), QString("4"));
    }

    void depthCopiesToHiddenDepthPerPass() {
        Harness h = picture200x100(10);
        h.dialog->CheckBox1->setChecked(false);
        h.type(SurfaceField::Depth, ".5");
        QVERIFY(h.dialog->Edit7->isHidden());
        QCOMPARE(h.text(SurfaceField::DepthPerPass), QString("0.500"));
    }

    void gougeBoxEnablesToolFields() {
        Harness h = picture200x100(20);
        h.dialog->txtDia->setText(".25");
        h.dialog->chkGouge->click();
        const QList<QWidget*> toolFields = {h.dialog->Frm1, h.dialog->cmbType, h.dialog->txtDia,
                                            h.dialog->lblType, h.dialog->lblDia};
        for (QWidget* w : toolFields) {
            QVERIFY(!w->isEnabled());
        }
        QVERIFY(!h.dialog->form().useGougeControl());
        QCOMPARE(h.dialog->txtDia->text(), QString(".25"));
        h.dialog->chkGouge->click();
        QVERIFY(h.dialog->cmbType->isEnabled() && h.dialog->txtDia->isEnabled());
    }

    void cancelOnIdleClosesAndEmptiesGrid() {
        Harness h = picture200x100(20);
        h.dialog->Button2->click();
        QVERIFY(h.closed());
        QVERIFY(h.job.HeightGrid.empty());
    }

    // Key preview: Escape and Enter act wherever the focus is.
    void keysActOnTheWholeDialog() {
        Harness h = picture200x100(20);
        QTest::keyClick(h.dialog->Edit3, Qt::Key_Return);  // Create: the save dialog is asked
        QCOMPARE(h.prompts.fileDialogs, 1);
        QVERIFY(!h.job.CancelRequested);
        QTest::keyClick(h.dialog->txtDia, Qt::Key_Escape);
        QVERIFY(h.job.CancelRequested);
        QVERIFY(h.closed());  // idle, so Escape is also the Cancel button
    }

    // Create follows JobMode as it is then: 20 writes G-code, anything else a surface,
    // with the save dialog prepared for DXF only in mode 10.
    void createFollowsJobModeOfTheMoment_data() {
        QTest::addColumn<int>("modeAtCreate");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("firstLine");
        QTest::newRow("changed to g-code") << 20 << "changed.Dnc" << QByteArray("( Created ");
        QTest::newRow("changed to mesh import") << 0 << "changed" << QByteArray("0");
    }
    void createFollowsJobModeOfTheMoment() {
        QFETCH(int, modeAtCreate);
        QFETCH(QString, written);
        QFETCH(QByteArray, firstLine);
        Harness h = picture200x100(10);
        h.saveDialog.setNameFilters({"Pictures (*.bmp)"});
        h.dialog->chkGouge->click();
        h.job.JobMode = static_cast<quarvel::JobModeCode>(modeAtCreate);
        h.answerSave(dir.filePath("changed"));
        h.dialog->Button1->click();
        const QList<QByteArray> lines = fileLines(dir.filePath(written));
        QVERIFY(!lines.isEmpty());
        QVERIFY(lines[0].startsWith(firstLine));
        if (modeAtCreate != 20) QCOMPARE(h.saveDialog.nameFilters().size(), 1);
        QVERIFY(h.closed());
        QFile::remove(dir.filePath(written));
    }

    // The worked example of the raster path: a 4 x 4 picture, white but for two black
    // cells in column 2 of the top two rows, 4 x 4 units, steps 1, no gouge control.
    void createWritesGCodeFile() {
        TZGrid grid(4, 4, 255);
        grid.at(0, 2) = 0;
        grid.at(1, 2) = 0;
        Harness h(20, grid, {4, 4, 1, 1});
        h.type(SurfaceField::SizeX, "4");
        QCOMPARE(h.text(SurfaceField::StepY), QString("1.000"));
        h.dialog->chkGouge->click();
        h.answerSave(dir.filePath("relief"));
        h.dialog->Button1->click();

        QCOMPARE(h.prompts.fileDialogs, 1);
        QCOMPARE(h.saveDialog.defaultSuffix(), QString("Dnc"));
        const QList<QByteArray> lines = fileLines(dir.filePath("relief.Dnc"));
        QCOMPARE(lines.size(), 14);
        QVERIFY(lines[0].startsWith("( Created "));
        QVERIFY(lines[0].endsWith(" From pic [1].bmp)"));
        QCOMPARE(lines[1], QByteArray("G90 T0 F10.0000"));
        const QList<QByteArray> moves = {
            "G00 Z0.1000",          " X1.0000 Y4.0000", " Z0.0000",    "G01 X2.0000 Z-0.2500",
            " X4.0000 Z0.0000",     "G00 Z0.1000",      " Y3.0000",    " Z0.0000",
            "G01 X2.0000 Z-0.2500", " X1.0000 Z0.0000", "G00 Z0.1000", " X0.0000 Y1.0000"};
        QCOMPARE(lines.mid(2), moves);
        QCOMPARE(h.job.RapidHeight, 0.1);
        QCOMPARE(h.status.message(), QString("Ready..."));
        QCOMPARE(h.status.detail(), QString("Estimated run time on plain: 0:00:43"));
        QVERIFY(h.closed());
        QVERIFY(h.job.HeightGrid.empty());
    }

    // The estimate on the status bar is the one the file's head gives, for the chosen
    // machine; a cancelled save leaves the status bar's estimate alone.
    void gCodeJobShowsTheEstimateForTheChosenMachine() {
        TZGrid grid(40, 40, 255);
        for (int i = 5; i < 35; ++i) grid.at(i, i) = 0;
        Harness h(20, grid, {40, 40, 1, 1});
        h.type(SurfaceField::SizeX, "40");
        h.dialog->chkGouge->click();
        MachineChoice& choice = *h.dialog->machineChoice;
        choice.machines->setCurrentIndex(choice.machines->findText("grbl"));
        choice.units->setCurrentIndex(choice.units->findText("mm"));
        h.status.setDetail("before");
        h.prompts.fileChoice = [](QFileDialog&) { return false; };
        h.dialog->Button1->click();
        QCOMPARE(h.status.detail(), QString("before"));

        h.answerSave(dir.filePath("grbl"));
        h.dialog->Button1->click();
        QFile file(dir.filePath("grbl.Dnc"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QVERIFY(lines.size() > 3);
        const QByteArray head = lines[1];
        QVERIFY2(head.startsWith("( Estimated run time ") && head.endsWith(" on grbl )"),
                 head.constData());
        const QByteArray duration = head.mid(21, head.size() - 21 - 10);
        QCOMPARE(h.status.detail(), "Estimated run time on grbl: " + QString::fromLatin1(duration));
        QVERIFY(lines.contains("G21"));
    }

    // A 1 x 1 black picture framed in white: four faces around a peak.
    void createWritesDxfSurface() {
        TZGrid grid(3, 3, 255);
        grid.at(1, 1) = 0;
        Harness h(10, grid, {1, 1, 1, 1});
        h.type(SurfaceField::SizeX, "3");
        h.type(SurfaceField::Depth, "1");
        h.dialog->chkGouge->click();
        h.answerSave(dir.filePath("surface"));
        h.dialog->Button1->click();

        const QList<QByteArray> lines = fileLines(dir.filePath("surface.Dxf"));
        QCOMPARE(lines.count("3DFACE"), 4);
        const int first = lines.indexOf("3DFACE");
        QCOMPARE(lines.mid(first + 1, 6),
                 (QList<QByteArray>{"10", "0.0000", "20", "3.0000", "30", "0.0000"}));
        QCOMPARE(lines.mid(lines.size() - 4), (QList<QByteArray>{"0", "ENDSEC", "0", "EOF"}));
        QCOMPARE(h.status.message(), QString("Ready..."));
        QVERIFY(h.closed());
    }

    void zeroDiameterIsRefused_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("fileDialogs");
        QTest::addColumn<bool>("written");
        QTest::newRow("g-code: job not started") << 20 << 0 << false;
        QTest::newRow("dxf: written without gouge control") << 10 << 1 << true;
    }
    void zeroDiameterIsRefused() {
        QFETCH(int, mode);
        QFETCH(bool, written);
        Harness h = picture200x100(mode);
        h.dialog->txtDia->setText("0");
        const QString path = dir.filePath(QString("zero%1.out").arg(mode));
        h.answerSave(path);
        h.dialog->Button1->click();
        QCOMPARE(h.prompts.messages.size(), 1);
        QCOMPARE(h.prompts.messages[0].text, QString("Tool Diameter can not be 0!"));
        QTEST(h.prompts.fileDialogs, "fileDialogs");
        QCOMPARE(QFile::exists(path), written);
        QCOMPARE(h.closed(), written);
        if (!written) QVERIFY(!h.dialog->Running);
    }

    void invalidValuesAreRefusedBeforeAnyFile_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("depth 0") << int(SurfaceField::Depth) << "0";
        QTest::newRow("depth per pass 0") << int(SurfaceField::DepthPerPass) << "0";
        QTest::newRow("size x negative") << int(SurfaceField::SizeX) << "-1";
        QTest::newRow("diameter negative") << int(SurfaceField::Diameter) << "-.1";
        QTest::newRow("step x leaves no sample") << int(SurfaceField::StepX) << "10";
    }
    void invalidValuesAreRefusedBeforeAnyFile() {
        QFETCH(int, field);
        QFETCH(QString, text);
        Harness h = picture200x100(20);
        h.dialog->CheckBox1->setChecked(false);
        h.type(static_cast<SurfaceField>(field), text);
        h.answerSave(dir.filePath("never.Dnc"));
        h.dialog->Button1->click();
        QCOMPARE(h.prompts.messages.size(), 1);
        QCOMPARE(h.prompts.messages[0].kind, MessageKind::Warning);
        QCOMPARE(h.prompts.fileDialogs, 0);
        QVERIFY(!h.closed());
        QVERIFY(!h.dialog->Running);
        QCOMPARE(h.job.HeightGrid.rows, 100);
    }

    void writeFailureIsReported_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("dxf surface") << 10;
        QTest::newRow("g-code") << 20;
    }
    void writeFailureIsReported() {
        QFETCH(int, mode);
        Harness h = picture200x100(mode);
        h.dialog->chkGouge->click();
        h.answerSave(dir.filePath("no such folder/out.txt"));
        h.dialog->Button1->click();
        QCOMPARE(h.prompts.messages.size(), 1);
        QCOMPARE(h.prompts.messages[0].kind, MessageKind::Warning);
        QVERIFY(h.prompts.messages[0].text.contains("no such folder"));
        QVERIFY(!h.closed());
        QVERIFY(!h.dialog->Running);
        QCOMPARE(h.status.message(), QString("Ready..."));
    }

    // Cancel during the passes: idle again, no file asked for, and the grid kept as gouge
    // control left it (an end mill wider than a cell lifts a lone black cell to white).
    void cancelPressDuringJobKeepsDialogOpen() {
        Harness h = picture200x100(20);
        h.job.HeightGrid.at(50, 100) = 0;
        QMetaObject::invokeMethod(h.dialog->Button2, "click", Qt::QueuedConnection);
        h.dialog->Button1->click();
        QCOMPARE(h.prompts.fileDialogs, 0);
        QVERIFY(!h.closed());
        QVERIFY(!h.dialog->Running);
        QVERIFY(!h.dialog->CancelPressed);
        QCOMPARE(h.job.HeightGrid.rows, 100);
        QCOMPARE(h.job.HeightGrid.at(50, 100), std::uint8_t{255});
    }

    // The G-code file is asked for once the passes are done. Declining it writes
    // nothing and leaves the dialog open and idle with the grid as sampled, so that Create
    // can be pressed again.
    void cancelledSaveDialogAfterThePasses() {
        Harness h = picture200x100(20);
        h.dialog->Button1->click();  // the scripted save dialog is cancelled
        QCOMPARE(h.prompts.fileDialogs, 1);
        QVERIFY(!h.closed());
        QVERIFY(!h.dialog->Running);
        QCOMPARE(h.dialog->ProgressBar1->value(), 0);
        QVERIFY(h.status.message().startsWith("Pass "));
        QCOMPARE(h.job.HeightGrid.rows, 100);
    }

    // Escape while the passes run: no file is asked for, the dialog closes and the status
    // tells.
    void escapeDuringPassesWritesNoFile() {
        Harness h = picture200x100(20);
        h.dialog->chkGouge->click();
        QMetaObject::invokeMethod(
            qApp, [&h] { h.job.CancelRequested = true; }, Qt::QueuedConnection);
        h.answerSave(dir.filePath("escaped.Dnc"));
        h.dialog->Button1->click();
        QCOMPARE(h.prompts.fileDialogs, 0);
        QVERIFY(!QFile::exists(dir.filePath("escaped.Dnc")));
        QVERIFY(h.closed());
        QCOMPARE(h.status.message(), QString("Process Cancelled..."));
    }

    // While the job lets events through, another window may put a new grid in the job
    // state; the job keeps reading the grid it started with.
    void gridReplacedDuringJobDoesNotReachTheFile() {
        QList<QByteArray> untouched;
        for (const bool replace : {false, true}) {
            Harness h = picture200x100(20);
            h.dialog->chkGouge->click();
            if (replace) {
                QMetaObject::invokeMethod(
                    qApp, [&h] { h.job.HeightGrid = TZGrid(100, 200, 0); }, Qt::QueuedConnection);
            }
            h.answerSave(dir.filePath("copy.Dnc"));
            h.dialog->Button1->click();
            const QList<QByteArray> moves = fileLines(dir.filePath("copy.Dnc")).mid(1);
            QVERIFY(moves.size() > 2);
            if (replace) QCOMPARE(moves, untouched);
            untouched = moves;
        }
    }

    void cancelledSaveDialogLeavesDialogOpen() {
        Harness h = picture200x100(10);
        h.dialog->Button1->click();  // the scripted save dialog is cancelled
        QCOMPARE(h.prompts.fileDialogs, 1);
        QVERIFY(!h.closed());
        QCOMPARE(h.job.HeightGrid.rows, 102);
    }

    void cancelledOrFailedGCodeSaveKeepsTheJob() {
        Harness h = picture200x100(20);
        h.dialog->chkGouge->click();
        h.dialog->Button1->click();  // the scripted save dialog is cancelled
        QVERIFY(!h.closed());
        QCOMPARE(h.job.HeightGrid.rows, 100);
        h.answerSave(dir.filePath("no such folder/out.Dnc"));
        h.dialog->Button1->click();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY(!h.closed());
        QCOMPARE(h.job.HeightGrid.rows, 100);
        h.answerSave(dir.filePath("again"));
        h.dialog->Button1->click();
        QVERIFY(QFile::exists(dir.filePath("again.Dnc")));
        QVERIFY(h.closed());
    }

    void saveDialogOffersThePicturesName_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("offered");
        QTest::newRow("g-code") << 20 << "dome_q.dnc";
        QTest::newRow("dxf surface") << 10 << "dome_q.dxf";
    }
    void saveDialogOffersThePicturesName() {
        QFETCH(int, mode);
        Harness h = picture200x100(mode, dir.filePath("dome_q.bmp"));
        h.dialog->chkGouge->click();
        QString offered;
        h.prompts.fileChoice = [&offered](QFileDialog& d) {
            offered = d.selectedFiles().value(0);
            return false;
        };
        h.dialog->Button1->click();
        QTEST(QFileInfo(offered).fileName(), "offered");
        QCOMPARE(QFileInfo(offered).absolutePath(), QDir(dir.path()).absolutePath());
    }

    // The picture commands: a 200 x 100 picture whose pixels are all level 200, in true
    // colour for G-Code and as grey palette indexes for DXF Surface.
    void pictureCommandOpensDialog_data() {
        QTest::addColumn<bool>("gCode");
        QTest::addColumn<int>("bitCount");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("corner");  // the grid's first cell: the frame in mode 10
        QTest::addColumn<QString>("sizeX");
        QTest::newRow("g-code, 24-bit") << true << 24 << 200 << 200 << "1.99";
        QTest::newRow("dxf surface, 8-bit") << false << 8 << 202 << 255 << "2.01";
    }
    void pictureCommandOpensDialog() {
        QFETCH(bool, gCode);
        QFETCH(int, bitCount);
        TQuarvelFrame frame(std::make_unique<ScriptedPrompts>());
        installPictureWindows(frame);
        frame.setSurfaceJobFactory(createSurfaceJobDialog);
        frame.New1Click();
        auto* picture = qobject_cast<TfrmPicture*>(frame.childAt(0));
        QVERIFY(picture);
        picture->TP->apply([bitCount](quarvel::imaging::ImagingModel& m) {
            auto image = quarvel::imaging::MakeImage(200, 100, bitCount);
            if (bitCount != 24) image.palette = quarvel::imaging::GreyRamp();
            std::fill(image.pixels.begin(), image.pixels.end(), std::uint8_t{200});
            m.SetImage(image);
        });
        frame.mdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(picture->parentWidget()));
        JobState& job = frame.jobState();
        job.JobFileName = "earlier";
        gCode ? GCode1Click(frame, *picture) : DXFSurface1Click(frame, *picture);

        auto* dialog = qobject_cast<TDXF*>(frame.childAt(0));
        QVERIFY(dialog);
        QCOMPARE(quarvel::jobModeNumber(job.JobMode), gCode ? 20 : 10);
        QCOMPARE(job.TargetWindowIndex, 1);
        QCOMPARE(job.JobFileName, std::string(gCode ? "New Picture" : "earlier"));
        QTEST(job.HeightGrid.columns, "columns");
        QTEST(int(job.HeightGrid.at(0, 0)), "corner");
        QCOMPARE(job.HeightGrid.at(1, 1), std::uint8_t{200});
        QCOMPARE(picture->TP->model().ImageXRes(), 100);  // written back by the dialog
        QTEST(dialog->fieldEdit(SurfaceField::SizeX)->text(), "sizeX");
        auto* sub = qobject_cast<QMdiSubWindow*>(dialog->parentWidget());
        QVERIFY(sub->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(sub->windowFlags() & Qt::WindowMinimizeButtonHint));
        sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(job.HeightGrid.empty());
        QCOMPARE(frame.childWindows().size(), 1);
    }
};

QTEST_MAIN(SurfaceDialogTest)
#include "surface_dialog_test.moc"
