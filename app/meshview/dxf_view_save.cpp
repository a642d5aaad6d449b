// File, Save DXF of the mesh window: the regions as DXF polylines.
#include <QFileInfo>

#include "meshview/dxf_view.h"
#include "shell/file_filters.h"
#include "shell/quarvel_frame.h"
#include "text/error.h"
#include "toolpath/polyline_dxf_writer.h"

namespace quarvel::app {

void TfrmDXFView::SaveDXF1Click() {
    QFileDialog& dialog = frame_.saveDialog();
    dialog.selectFile(QString());
    applyFilter(dialog, QStringLiteral("DXF Files|*.Dxf"), 0);
    dialog.setDefaultSuffix(QStringLiteral("Dxf"));
    if (!frame_.prompts().runFileDialog(dialog)) return;
    QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty()) return;
    // A name typed without an extension gets the dialog's default one.
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.'))) path += QStringLiteral(".Dxf");
    try {
        toolpath::SavePolylineDxf(path.toStdString(), mesh_.Regions.withPlaceholder());
    } catch (const quarvel::Error& e) {
        frame_.prompts().message(this, MessageKind::Warning, QString::fromStdString(e.what()));
    }
}

}  // namespace quarvel::app
