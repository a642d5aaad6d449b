#include "picture/picture_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QMdiSubWindow>
#include <exception>

#include "imaging/picture_files.h"
#include "shell/busy_cursor.h"
#include "shell/escape_filter.h"
#include "shell/file_filters.h"
#include "shell/quarvel_frame.h"
#include "shell/status_progress.h"
#include "text/error.h"

namespace quarvel::app {

namespace {
const QString kSaveAsFilter = QStringLiteral(
    "Bmp Files *.Bmp|*.bmp|JPEG Files *.Jpg|*.jpg|PCX Files *.Pcx|*.pcx|TIFF Files *.Tif|*.tif");

struct SaveChoice {
    const char* extension;
    int formatCode;
};
// By the chosen entry of the Save As filter, 1-based.
constexpr SaveChoice kSaveChoices[] = {{".Bmp", imaging::kFormatBmp},
                                       {".Jpg", imaging::kFormatJpeg},
                                       {".Pcx", imaging::kFormatPcx},
                                       {".Tif", imaging::kFormatTiff}};
}  // namespace

TfrmPicture::TfrmPicture(TQuarvelFrame& frame) : frame_(frame) {
    setProperty(kIgnoresEscape, true);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWindowTitle(kNewPictureCaption);
    TP = new TTwistedPixel;
    TP->setObjectName(QStringLiteral("TP"));
    setWidget(TP);
    connect(TP, &TTwistedPixel::progressReport, this, &TfrmPicture::TPProgressReport);
    connect(TP, &TTwistedPixel::pluginFilterComplete, this, &TfrmPicture::TPPluginFilterComplete);
    connect(TP, &TTwistedPixel::pluginFailed, this, &TfrmPicture::showFailure);
    buildMenus();

    // FormCreate.
    TP->model().SetScrollbarsVisible(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FitMode = ViewMode::FitWindow;
    TP->model().SetUndoSize(10);
    if (!TP->model().HasImage()) {
        TP->model().SetTool(1);
        resize(250, 250);
        TP->resize(250, 250);
        const std::string& pluginPath = frame_.jobState().PluginPath;
        if (!pluginPath.empty()) TP->model().SetPluginPathName(pluginPath);
    }
}

QMdiSubWindow* TfrmPicture::subWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void TfrmPicture::setCaption(const QString& text) {
    setWindowTitle(text);
    if (QMdiSubWindow* sub = subWindow()) sub->setWindowTitle(text);
}

void TfrmPicture::setStatus(const QString& text) { frame_.status().setMessage(text); }

void TfrmPicture::showFailure(const QString& text) {
    frame_.prompts().message(this, MessageKind::Warning, text);
}

QString TfrmPicture::filePath() const {
    const QString name = caption();
    return name == kNewPictureCaption || name == QStringLiteral(" ") ? QString() : name;
}

void TfrmPicture::markChanged() {
    Modified = true;
    frame_.status().setDetail(statusDetail());
}

QString TfrmPicture::statusDetail() const {
    const auto& m = TP->model();
    if (!m.HasImage()) return {};
    // Width x height x bits, and the resolution when the file gave one.
    QString text =
        QStringLiteral("%1x%2x%3").arg(m.ImageWidth()).arg(m.ImageHeight()).arg(m.ImageBitCount());
    if (m.ImageXRes() > 0) text += QStringLiteral(" %1dpi").arg(m.ImageXRes());
    return text;
}

// The window's outer size becomes the picture's size plus the subwindow's own frame.
void TfrmPicture::SizeWindowToImage() {
    const auto& m = TP->model();
    if (!m.HasImage()) return;
    TP->resize(m.ImageWidth(), m.ImageHeight());
    QMdiSubWindow* sub = subWindow();
    if (!sub || sub->isMaximized() || sub->isMinimized() || sizing_) return;
    sizing_ = true;
    if (sub->layout()) sub->layout()->activate();
    const QSize frameMargins = sub->size() - viewport()->size();
    sub->resize(QSize(m.ImageWidth(), m.ImageHeight()) + frameMargins);
    sizing_ = false;
}

void TfrmPicture::FormResize() {
    if (sizing_) return;
    switch (FitMode) {
        case ViewMode::FitWindow: SizeWindowToImage(); break;
        case ViewMode::FitPicture: TP->resize(viewport()->size()); break;
        case ViewMode::ScrollBars:
            if (TP->model().HasImage()) {
                TP->resize(TP->model().ImageWidth(), TP->model().ImageHeight());
            }
            break;
    }
}

void TfrmPicture::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (FitMode == ViewMode::FitWindow && !sizing_) {
        // Snaps back once the subwindow has finished its own resizing.
        QMetaObject::invokeMethod(this, &TfrmPicture::FormResize, Qt::QueuedConnection);
    } else {
        FormResize();
    }
}

void TfrmPicture::LoadPictureFile(const QString& path) {
    auto& job = frame_.jobState();
    bool loaded = false;
    {
        job.CancelRequested = false;
        frame_.status().gauge().setGaugeEnabled(true);
        BusyCursor busy;
        // Loading cannot be stopped, so the text offers no Escape.
        setStatus(QStringLiteral("Loading ") + path + QStringLiteral("..."));
        frame_.status().repaintNow();
        loaded = TP->model().LoadImage(path.toStdString(), 0);
        frame_.status().gauge().setGaugeEnabled(false);
        TP->pictureChanged();
        if (TP->model().HasImage()) {
            setCaption(path);
            SizeWindowToImage();
            show();
            frame_.ShowReady();
            frame_.status().setDetail(statusDetail());
        }
    }
    if (!loaded) {
        frame_.ShowReady();
        showFailure(QStringLiteral("Could not load ") + path + QStringLiteral(":\n") +
                    QString::fromStdString(TP->model().LastError()));
    }
}

void TfrmPicture::mnuSaveClick() {
    setStatus(QStringLiteral("Saving ") + caption() + QStringLiteral(" ... Please Wait..."));
    if (caption() == kNewPictureCaption || caption() == QStringLiteral(" ")) {
        if (mnuSaveAsClick()) Modified = false;
        return;
    }
    const std::string name = caption().toStdString();
    if (writePicture(caption(), TP->model().FileTypeOf(name))) Modified = false;
}

bool TfrmPicture::writePicture(const QString& name, int formatCode) {
    setStatus(QStringLiteral("Saving ") + name + QStringLiteral(" ... Please Wait..."));
    QString failure;
    try {
        BusyCursor busy;
        TP->model().SaveImage(name.toStdString(), formatCode);
    } catch (const std::exception& error) {  // ours, the file system's, or out of memory
        failure = QString::fromUtf8(error.what());
    }
    frame_.ShowReady();
    if (failure.isEmpty()) return true;
    showFailure(QStringLiteral("Could not save ") + name + QStringLiteral(":\n") + failure);
    return false;
}

// The dialog asks before replacing only the exact name it returns; an extension added
// afterwards can name another file, which is asked about here. Saving over the picture's
// own file needs no question.
bool TfrmPicture::mayReplace(const QString& name, const QString& confirmedName) {
    const QFileInfo target(name);
    if (!target.exists()) return true;
    const bool dialogAsked =
        name == confirmedName && !frame_.saveDialog().testOption(QFileDialog::DontConfirmOverwrite);
    if (dialogAsked) return true;
    const QString own = filePath();
    if (!own.isEmpty() && QFileInfo(own).absoluteFilePath() == target.absoluteFilePath()) {
        return true;
    }
    return frame_.prompts().askYesNo(
        this, QStringLiteral("%1 already exists. Replace it?").arg(QDir::toNativeSeparators(name)));
}

bool TfrmPicture::mnuSaveAsClick() {
    QFileDialog& dialog = frame_.saveDialog();
    applyFilter(dialog, kSaveAsFilter, 0);
    dialog.setDefaultSuffix(QString());
    if (!frame_.runFileDialog(dialog)) {
        frame_.ShowReady();
        return false;
    }
    const int entry = chosenFilterEntry(dialog);
    const SaveChoice choice = kSaveChoices[entry >= 1 && entry <= 4 ? entry - 1 : 0];
    const QString chosen = dialog.selectedFiles().value(0);
    QString name = chosen;
    if (!QFileInfo(name).fileName().contains(QLatin1Char('.'))) {
        name += QString::fromLatin1(choice.extension);
    }
    if (!mayReplace(name, chosen)) {
        frame_.ShowReady();
        return false;
    }
    if (!writePicture(name, choice.formatCode)) return false;
    setCaption(name);
    Modified = false;
    return true;
}

void TfrmPicture::closeEvent(QCloseEvent* event) {
    if (Modified) {
        const auto answer = frame_.prompts().askYesNoCancel(
            this, QStringLiteral("Save changes to %1?").arg(caption()));
        if (answer == QMessageBox::Cancel) {
            event->ignore();
            return;
        }
        // A save that was cancelled or failed keeps the window and its changes.
        if (answer == QMessageBox::Yes) {
            mnuSaveClick();
            if (Modified) {
                event->ignore();
                return;
            }
        }
    }
    if (frame_.childWindows().size() == 1) frame_.DisablePictureButtons(true);
    event->accept();
}

void TfrmPicture::mnuUndoClick() {
    if (TP->model().UndoCount() == 0) {
        setStatus(QStringLiteral("Can Not Undo - At Top Level..."));
        return;
    }
    BusyCursor busy;
    setStatus(QStringLiteral("Undoing Previous Command... Please Wait..."));
    TP->apply([](imaging::ImagingModel& m) { m.Undo(); });
    FormResize();
    frame_.ShowReady();
    markChanged();
}

void TfrmPicture::mnuCutClick() {
    if (!TP->model().HasImage()) return;
    TP->apply([](imaging::ImagingModel& m) { m.Cut(); });
    markChanged();
}

void TfrmPicture::mnuCopyClick() {
    if (TP->model().HasImage()) TP->model().Copy();
}

void TfrmPicture::mnuPasteClick() {
    bool pasted = false;
    TP->apply([&pasted](imaging::ImagingModel& m) { pasted = m.Paste(); });
    if (FitMode == ViewMode::FitWindow) SizeWindowToImage();
    if (pasted) markChanged();
}

void TfrmPicture::mnuCropClick() {
    if (!TP->model().HasSelection()) {
        frame_.prompts().message(this, MessageKind::Information,
                                 QStringLiteral("Select Area and try again"));
        return;
    }
    setStatus(QStringLiteral("Cropping Selection... Please Wait..."));
    TP->apply([](imaging::ImagingModel& m) {
        m.Copy();
        m.SelectNone();
        m.ClearImage();
        m.Paste();
    });
    SizeWindowToImage();
    frame_.ShowReady();
    markChanged();
}

void TfrmPicture::mnuFitWindowClick() {
    mnuFitWindow_->setChecked(true);
    FitMode = ViewMode::FitWindow;
    TP->model().SetFitToSize(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TP->update();
    SizeWindowToImage();
}

void TfrmPicture::mnuFitPictureClick() {
    mnuFitPicture_->setChecked(true);
    FitMode = ViewMode::FitPicture;
    TP->model().SetFitToSize(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TP->resize(viewport()->size());
    TP->model().SetTool(1);
    TP->update();
}

void TfrmPicture::mnuScrollBarsClick() {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    TP->model().SetFitToSize(false);
    FitMode = ViewMode::ScrollBars;
    mnuScrollBars_->setChecked(true);
    FormResize();
    TP->update();
}

void TfrmPicture::mnuSetPluginPathClick() {
    frame_.jobState().PluginPath =
        frame_.prompts()
            .chooseFolder(this, QStringLiteral("Select Plug Ins Path"), QDir::homePath())
            .toStdString();
}

void TfrmPicture::mnuLoadPluginsClick() {
    auto& job = frame_.jobState();
    if (job.PluginPath.empty()) mnuSetPluginPathClick();
    if (job.PluginPath.empty()) return;
    TP->model().SetPluginPathName(job.PluginPath);
    TP->model().LoadPlugins();
    setStatus(QStringLiteral("Right click image for plugins..."));
}

void TfrmPicture::TPProgressReport(long done, long total) {
    ShowImagingProgress(frame_.status(), frame_.jobState(), done, total);
}

void TfrmPicture::TPPluginFilterComplete() {
    TP->pictureChanged();
    TP->repaint();
    frame_.status().gauge().setGaugeEnabled(false);
    markChanged();
}

void TfrmPicture::NoteTargetWindow() {
    const QList<QWidget*> children = frame_.childWindows();
    frame_.jobState().TargetWindowIndex =
        static_cast<std::int32_t>(children.indexOf(frame_.activeChild())) + 1;
}

bool TfrmPicture::Require24Bit() {
    if (TP->model().ImageBitCount() == 24) return true;
    frame_.prompts().message(this, MessageKind::Information,
                             QStringLiteral("Works on 24 Bit Images only"));
    return false;
}

TfrmPicture* BoundPicture(const QPointer<TfrmPicture>& picture, TQuarvelFrame& frame,
                          QWidget* dialog) {
    if (!picture) {
        frame.prompts().message(
            dialog, MessageKind::Information,
            QStringLiteral("The picture this dialog was opened for has been closed."));
    }
    return picture.data();
}

namespace {
bool samePicture(const imaging::PixelImage& a, const imaging::PixelImage& b) {
    return a.width == b.width && a.height == b.height && a.bitCount == b.bitCount &&
           a.palette.size() == b.palette.size() && a.pixels == b.pixels;
}
}  // namespace

void RestorePreview(TTwistedPixel& preview, const imaging::PixelImage& original) {
    preview.apply([&original](imaging::ImagingModel& m) {
        for (int n = m.UndoCount(); n > 0; --n) m.Undo();
        if (!samePicture(m.Picture(), original)) m.SetImage(original);
    });
}

void TfrmPicture::RecoverFromError() {
    TP->model().RecoverFromError();
    TP->pictureChanged();
}

}  // namespace quarvel::app
