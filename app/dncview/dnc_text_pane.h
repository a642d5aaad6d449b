#pragma once
// The viewer's text pane: shows a file's lines without wrapping, with both scroll bars.
// The text is indexed once by line and only the visible lines are ever laid out, so a
// file of millions of lines appears at once. Lines end where the G-code reader ends
// them: at CR, LF or CR LF.
#include <QAbstractScrollArea>
#include <QByteArray>
#include <vector>

namespace quarvel::app {

class DncTextPane : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit DncTextPane(QWidget* parent = nullptr);

    // Shows `bytes` (UTF-8, or Latin-1 where a line is not UTF-8); no line is marked.
    void setText(const QByteArray& bytes);
    qsizetype lineCount() const { return static_cast<qsizetype>(lineStarts_.size()); }
    // The text of line `lineNo` (1-based, without its line end); empty when out of range.
    QString lineText(qsizetype lineNo) const;
    // All lines joined with "\n".
    QString toPlainText() const;

    // Marks line `lineNo` (1-based) and scrolls it to the middle of the pane. False when
    // the text has no such line.
    bool showLine(qsizetype lineNo);
    qsizetype markedLine() const { return marked_; }  // 0 when none
    // The first line shown at the top of the pane (1-based).
    qsizetype topLine() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void updateScrollBars();
    int lineHeight() const;

    QByteArray bytes_;
    std::vector<qsizetype> lineStarts_;  // offset of each line in bytes_
    std::vector<qsizetype> lineEnds_;    // one past its last character (before CR/LF)
    qsizetype longestLine_ = 0;          // in characters
    qsizetype marked_ = 0;
};

}  // namespace quarvel::app
