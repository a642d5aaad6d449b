#include "dncview/dnc_text_pane.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringDecoder>
#include <algorithm>

namespace quarvel::app {

namespace {
constexpr int kTextMargin = 4;  // pixels left of the text

QString decodedLine(QByteArrayView line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(line);
    if (utf8.hasError()) return QString::fromLatin1(line);
    return text;
}
}  // namespace

DncTextPane::DncTextPane(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setText({});
}

void DncTextPane::setText(const QByteArray& bytes) {
    bytes_ = bytes;
    lineStarts_.clear();
    lineEnds_.clear();
    longestLine_ = 0;
    marked_ = 0;
    const qsizetype n = bytes_.size();
    const char* data = bytes_.constData();
    qsizetype pos = 0;
    do {
        qsizetype end = pos;
        while (end < n && data[end] != '\r' && data[end] != '\n') ++end;
        lineStarts_.push_back(pos);
        lineEnds_.push_back(end);
        longestLine_ = std::max(longestLine_, end - pos);
        pos = end;
        if (pos < n && data[pos] == '\r') ++pos;
        if (pos < n && data[pos] == '\n') ++pos;
    } while (pos < n);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

QString DncTextPane::lineText(qsizetype lineNo) const {
    if (lineNo < 1 || lineNo > lineCount()) return {};
    const auto i = static_cast<std::size_t>(lineNo - 1);
    return decodedLine(
        QByteArrayView(bytes_).sliced(lineStarts_[i], lineEnds_[i] - lineStarts_[i]));
}

QString DncTextPane::toPlainText() const {
    QStringList lines;
    for (qsizetype i = 1; i <= lineCount(); ++i) lines << lineText(i);
    return lines.join(QLatin1Char('\n'));
}

int DncTextPane::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

qsizetype DncTextPane::topLine() const { return verticalScrollBar()->value() + 1; }

void DncTextPane::updateScrollBars() {
    const int visible = std::max(1, viewport()->height() / lineHeight());
    const qsizetype lines = lineCount();
    verticalScrollBar()->setPageStep(visible);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, static_cast<int>(std::max<qsizetype>(0, lines - visible)));
    const qsizetype textWidth =
        longestLine_ * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 2 * kTextMargin;
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().horizontalAdvance(QLatin1Char('0')));
    horizontalScrollBar()->setRange(
        0, static_cast<int>(std::clamp<qsizetype>(textWidth - viewport()->width(), 0, 1 << 30)));
}

bool DncTextPane::showLine(qsizetype lineNo) {
    if (lineNo < 1 || lineNo > lineCount()) return false;
    marked_ = lineNo;
    const int visible = std::max(1, viewport()->height() / lineHeight());
    verticalScrollBar()->setValue(
        static_cast<int>(std::max<qsizetype>(0, lineNo - 1 - visible / 2)));
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    return true;
}

void DncTextPane::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void DncTextPane::mousePressEvent(QMouseEvent* event) {
    const qsizetype line = topLine() + static_cast<int>(event->position().y()) / lineHeight();
    if (line <= lineCount()) {
        marked_ = line;
        viewport()->update();
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void DncTextPane::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int height = lineHeight();
    const int ascent = fontMetrics().ascent();
    const int left = kTextMargin - horizontalScrollBar()->value();
    const qsizetype first = topLine();
    const qsizetype last = std::min(lineCount(), first + viewport()->height() / height + 1);
    for (qsizetype line = first; line <= last; ++line) {
        const int top = static_cast<int>(line - first) * height;
        if (line == marked_) {
            painter.fillRect(0, top, viewport()->width(), height, palette().highlight());
            painter.setPen(palette().color(QPalette::HighlightedText));
        } else {
            painter.setPen(palette().color(QPalette::Text));
        }
        painter.drawText(left, top + ascent, lineText(line));
    }
}

}  // namespace quarvel::app
