// File, Save DNC and File, Save DXF of the mesh window: the regions as a DNC tool path or
// as DXF polylines.
#include <QFileInfo>

#include "meshview/dxf_view.h"
#include "shell/file_filters.h"
#include "shell/quarvel_frame.h"
#include "surface/machine_choice.h"
#include "text/creation_stamp.h"
#include "text/error.h"
#include "toolpath/polyline_dxf_writer.h"
#include "toolpath/region_dnc_writer.h"

namespace quarvel::app {

QString TfrmDXFView::askSaveFile(const QString& filter, const QString& extension) {
    QFileDialog& dialog = frame_.saveDialog();
    const QString source = sourceFile();
    applyFilter(dialog, filter, 0);
    dialog.setDefaultSuffix(extension);
    // The dialog starts beside the source file and offers its name with the new extension
    // (chosen after the filter, which would otherwise rewrite it).
    dialog.selectFile(source.isEmpty() ? QString()
                                       : QFileInfo(source).completeBaseName() + QLatin1Char('.') +
                                             extension.toLower());
    if (!frame_.runFileDialog(dialog, source)) return {};
    QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty()) return {};
    // A name typed without an extension gets the dialog's default one.
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.')))
        path += QLatin1Char('.') + extension;
    return path;
}

void TfrmDXFView::SaveDXF1Click() {
    const QString path = askSaveFile(QStringLiteral("DXF Files|*.Dxf"), QStringLiteral("Dxf"));
    if (path.isEmpty()) return;
    try {
        toolpath::SavePolylineDxf(path.toStdString(), mesh_.Regions.withPlaceholder());
    } catch (const quarvel::Error& e) {
        frame_.prompts().message(this, MessageKind::Warning, QString::fromStdString(e.what()));
    }
}

void TfrmDXFView::SaveDNC1Click(double feedRate, double rapidHeight,
                                const machine::MachineJob& machineJob) {
    const QString path = askSaveFile(QStringLiteral("DNC Files|*.Dnc"), QStringLiteral("Dnc"));
    if (path.isEmpty()) return;
    StatusPanels& status = frame_.status();
    status.setMessage(QString::fromLatin1(toolpath::kOptimizingText));
    status.repaintNow();
    const toolpath::RegionDncHeader header{CreationStamp(std::time(nullptr)),
                                           toolpath::DncSourceName(mesh_.Caption), feedRate,
                                           rapidHeight};
    try {
        toolpath::SaveRegionDnc(path.toStdString(), mesh_.Regions.withPlaceholder(), header,
                                machineJob);
    } catch (const quarvel::Error& e) {
        frame_.prompts().message(this, MessageKind::Warning, QString::fromStdString(e.what()));
        frame_.ShowReady();
        return;
    }
    status.setMessage(QString::number(mesh_.Regions.size()) +
                      QStringLiteral(" Regions written to ") + QFileInfo(path).fileName());
    status.setDetail(RunTimeStatusText(path, machineJob));
}

}  // namespace quarvel::app
