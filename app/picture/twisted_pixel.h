#pragma once
// The imaging control: shows one picture 1:1 or stretched to its own size, lets the user
// draw a selection rectangle with the mouse (Tool 1), offers the loaded plug-ins on its
// right-click menu and passes the model's progress on as signals. Everything it does to
// the picture is done by the ImagingModel it holds.
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "imaging/imaging_model.h"

namespace quarvel::app {

class TTwistedPixel : public QWidget {
    Q_OBJECT
public:
    explicit TTwistedPixel(QWidget* parent = nullptr);

    imaging::ImagingModel& model() { return model_; }
    const imaging::ImagingModel& model() const { return model_; }
    // Runs `operation` on the model and shows the result.
    void apply(const std::function<void(imaging::ImagingModel&)>& operation);
    // Shows the model's picture again after it was changed directly.
    void pictureChanged();
    // Keep the picture's proportions when stretching (the dialogs' previews).
    void setKeepAspect(bool keep) { keepAspect_ = keep; }
    QSize sizeHint() const override;

signals:
    void progressReport(long done, long total);
    void pluginFilterComplete();
    void pluginFailed(const QString& reason);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QRect pictureRect() const;
    QPoint toImage(QPoint widgetPoint) const;
    QRect toWidget(const imaging::SelectionRect& selection) const;
    imaging::SelectionRect dragRect() const;
    void runPlugin(std::size_t index);

    imaging::ImagingModel model_;
    QImage shown_;
    bool keepAspect_ = false;
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint dragEnd_;
};

}  // namespace quarvel::app
