#include "meshview/toolpaths_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "meshview/dxf_view.h"
#include "shell/quarvel_frame.h"
#include "surface/machine_choice.h"

namespace quarvel::app {

using engine::RegionCheck;
using engine::RegionField;
using engine::RegionStyle;

namespace {

// Layout in pixels of the 261 x 274 client area: the fields on the left, the buttons
// below them, the groups and check boxes in a sunken panel on the right, and the machine
// lists in a row of their own under both (both columns are full).
constexpr int kMargin = 8;
constexpr int kLabelWidth = 58;
constexpr int kEditWidth = 49;
constexpr int kRowHeight = 25;
constexpr int kControlHeight = 21;
constexpr int kButtonWidth = 53;
constexpr int kButtonHeight = 24;
constexpr int kPanelLeft = 120;
constexpr int kGroupWidth = 128;
constexpr int kClientWidth = 261;
constexpr int kPanelBottom = 241;
constexpr int kChoiceTop = kPanelBottom + 4;
constexpr int kClientHeight = kChoiceTop + kControlHeight + kMargin;

std::size_t slot(RegionField f) { return static_cast<std::size_t>(f); }
std::size_t slot(RegionCheck c) { return static_cast<std::size_t>(c); }
std::size_t slot(RegionStyle s) { return static_cast<std::size_t>(s); }

}  // namespace

TfrmToolPaths::TfrmToolPaths(TQuarvelFrame& frame) : QWidget(&frame, Qt::Tool), frame_(frame) {
    setObjectName(QStringLiteral("frmToolPaths"));
    setWindowTitle(QStringLiteral("Create Regions"));
    setFixedSize(kClientWidth, kClientHeight);
    // The layout is in pixels for a small dialog font, as the form was designed.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    buildFields();
    buildButtons();
    buildGroups();
    machineChoice = std::make_unique<MachineChoice>(this, kMargin, kChoiceTop,
                                                    kClientWidth - 2 * kMargin, kControlHeight);
    refreshControls();
}

TfrmToolPaths::~TfrmToolPaths() = default;

machine::MachineJob TfrmToolPaths::machineJob() const { return machineChoice->job(); }

void TfrmToolPaths::rememberMachine() const { machineChoice->remember(); }

QLineEdit* TfrmToolPaths::addField(RegionField field, int row) {
    const int y = kMargin + row * kRowHeight;
    auto* label = new QLabel(QString::fromLatin1(engine::RegionFieldCaption(field)), this);
    label->setGeometry(kMargin, y, kLabelWidth, kControlHeight);
    auto* edit = new QLineEdit(QString::fromStdString(form_.text(field)), this);
    edit->setGeometry(kMargin + kLabelWidth, y, kEditWidth, kControlHeight);
    label->setBuddy(edit);
    edits_[slot(field)] = edit;
    connect(edit, &QLineEdit::textChanged, this,
            [this, field](const QString& text) { form_.setText(field, text.toStdString()); });
    edit->installEventFilter(this);
    return edit;
}

void TfrmToolPaths::buildFields() {
    Edit8 = addField(RegionField::Width, 0);
    Edit10 = addField(RegionField::Depth, 1);
    Edit1 = addField(RegionField::OpDepth, 2);
    Edit2 = addField(RegionField::ZStep, 3);
    Edit4 = addField(RegionField::CutDepth, 4);
    Edit3 = addField(RegionField::Feedrate, 5);
    Edit9 = addField(RegionField::Rapid, 6);
}

void TfrmToolPaths::buildButtons() {
    const int top = kMargin + 7 * kRowHeight + 4;
    const auto place = [this, top](const QString& caption, int column, int row) {
        auto* button = new QPushButton(caption, this);
        button->setGeometry(kMargin + column * (kButtonWidth + 4), top + row * (kButtonHeight + 4),
                            kButtonWidth, kButtonHeight);
        return button;
    };
    Button1 = place(QStringLiteral("Create"), 0, 0);
    Button3 = place(QStringLiteral("Undo"), 1, 0);
    btnClear = place(QStringLiteral("Clear"), 0, 1);
    Button2 = place(QStringLiteral("Cancel"), 1, 1);
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfrmToolPaths::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmToolPaths::Button3Click);
    connect(btnClear, &QPushButton::clicked, this, &TfrmToolPaths::btnClearClick);
    connect(Button2, &QPushButton::clicked, this, &TfrmToolPaths::Button2Click);
}

QCheckBox* TfrmToolPaths::addCheck(RegionCheck box, RegionField value, const char* caption, int y) {
    auto* check = new QCheckBox(QString::fromLatin1(caption), this);
    check->setGeometry(kPanelLeft + 6, y, 76, kControlHeight);
    checks_[slot(box)] = check;
    connect(check, &QCheckBox::clicked, this, [this, box](bool on) { checkClicked(box, on); });
    auto* edit = new QLineEdit(QString::fromStdString(form_.text(value)), this);
    edit->setGeometry(kClientWidth - kMargin - 36, y, 36, kControlHeight);
    edits_[slot(value)] = edit;
    connect(edit, &QLineEdit::textChanged, this,
            [this, value](const QString& text) { form_.setText(value, text.toStdString()); });
    edit->installEventFilter(this);
    return check;
}

void TfrmToolPaths::buildGroups() {
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(kPanelLeft, kMargin, kClientWidth - kPanelLeft - 4, kPanelBottom - kMargin);
    panel->lower();
    RadioGroup1 = new QGroupBox(QStringLiteral("Style"), this);
    RadioGroup1->setGeometry(kPanelLeft + 4, kMargin + 2, kGroupWidth, 80);
    const char* styleNames[] = {"Single Depth", "Topography", "Vectorize"};
    for (std::size_t i = 0; i < styles_.size(); ++i) {
        styles_[i] = new QRadioButton(QString::fromLatin1(styleNames[i]), RadioGroup1);
        styles_[i]->setGeometry(6, 18 + static_cast<int>(i) * 20, kGroupWidth - 10, 20);
        const auto style = static_cast<RegionStyle>(i);
        connect(styles_[i], &QRadioButton::clicked, this,
                [this, style] { RadioGroup1Click(style); });
    }
    TopGroup = new QGroupBox(QStringLiteral("Region Depths"), this);
    TopGroup->setGeometry(kPanelLeft + 4, kMargin + 86, kGroupWidth, 60);
    rbOneDepth = new QRadioButton(QStringLiteral("One Depth"), TopGroup);
    rbOneDepth->setGeometry(6, 18, kGroupWidth - 10, 20);
    rbMultipleDepths = new QRadioButton(QStringLiteral("Multiple Depths"), TopGroup);
    rbMultipleDepths->setGeometry(6, 37, kGroupWidth - 10, 20);
    connect(rbOneDepth, &QRadioButton::clicked, this, [this] { TopGroupClick(false); });
    connect(rbMultipleDepths, &QRadioButton::clicked, this, [this] { TopGroupClick(true); });
    const int checksTop = kMargin + 152;
    CheckBox2 = addCheck(RegionCheck::Reduce, RegionField::Reduce, "Reduce", checksTop);
    CheckBox1 =
        addCheck(RegionCheck::CurveFit, RegionField::CurveFit, "Curve Fit", checksTop + kRowHeight);
    CheckBox3 =
        addCheck(RegionCheck::Filter, RegionField::Filter, "Filter", checksTop + 2 * kRowHeight);
    Edit6 = edits_[slot(RegionField::Reduce)];
    Edit5 = edits_[slot(RegionField::CurveFit)];
    Edit7 = edits_[slot(RegionField::Filter)];
}

QLineEdit* TfrmToolPaths::fieldEdit(RegionField field) const { return edits_[slot(field)]; }

QRadioButton* TfrmToolPaths::styleButton(RegionStyle style) const { return styles_[slot(style)]; }

QCheckBox* TfrmToolPaths::checkBox(RegionCheck box) const { return checks_[slot(box)]; }

// Shows the model: enabled states, the selected radio buttons and the check boxes. The
// texts are the controls' own; the model follows them as they change.
void TfrmToolPaths::refreshControls() {
    const engine::RegionFormEnabled& on = form_.enabled();
    Edit8->setEnabled(on.width);
    Edit10->setEnabled(on.depth);
    Edit1->setEnabled(on.opDepth);
    Edit2->setEnabled(on.zStep);
    Edit4->setEnabled(on.cutDepth);
    TopGroup->setEnabled(on.regionDepths && !running_);
    styles_[slot(form_.style())]->setChecked(true);
    (form_.multipleDepths() ? rbMultipleDepths : rbOneDepth)->setChecked(true);
    for (RegionCheck box : {RegionCheck::Reduce, RegionCheck::CurveFit, RegionCheck::Filter}) {
        checks_[slot(box)]->setChecked(form_.checked(box));
    }
    Edit6->setEnabled(form_.valueEnabled(RegionCheck::Reduce));
    Edit5->setEnabled(form_.valueEnabled(RegionCheck::CurveFit));
    Edit7->setEnabled(form_.valueEnabled(RegionCheck::Filter));
    Button1->setEnabled(!running_);
    Button3->setEnabled(on.undo && !running_);
    btnClear->setEnabled(!running_);
}

void TfrmToolPaths::showFor(QWidget* window) {
    auto* mesh = qobject_cast<TfrmDXFView*>(window);
    const bool changed = mesh != target_.data() || !bound_;
    target_ = mesh;
    bound_ = mesh != nullptr;
    frame_.jobState().TargetWindowIndex =
        static_cast<std::int32_t>(frame_.childWindows().indexOf(window));
    if (isVisible() && changed) FormShow();
    show();
    activateWindow();
}

void TfrmToolPaths::windowClosing(TfrmDXFView& window) {
    if (target_.data() == &window) target_ = nullptr;
}

void TfrmToolPaths::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmToolPaths::FormShow() {
    if (!running_) machineChoice->reload();
    if (!target_ || running_) return;
    const auto* active = qobject_cast<TfrmDXFView*>(frame_.activeChild());
    form_.show(target_->kind() == MeshWindowKind::VectorConversion,
               active ? engine::DefaultOpDepthText(active->document()) : std::string());
    Edit1->setText(QString::fromStdString(form_.text(RegionField::OpDepth)));
    refreshControls();
}

void TfrmToolPaths::RadioGroup1Click(RegionStyle style) {
    form_.clickStyle(style);
    refreshControls();
}

void TfrmToolPaths::TopGroupClick(bool multiple) {
    form_.clickRegionDepths(multiple);
    refreshControls();
}

void TfrmToolPaths::checkClicked(RegionCheck box, bool checked) {
    form_.clickCheck(box, checked);
    refreshControls();
}

// The dialog sees every key before its controls: Escape asks a running Create to stop,
// Enter creates, and the filtered fields drop what they do not take (Delete types no
// character).
bool TfrmToolPaths::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        frame_.jobState().CancelRequested = true;
        return true;
    }
    // Enter presses the default button, Create, from any field.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (Button1->isEnabled()) Button1->click();
        return true;
    }
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        if (edits_[i] != watched) continue;
        const auto field = static_cast<RegionField>(i);
        if (key->key() == Qt::Key_Delete) return false;
        const QString typed = key->key() == Qt::Key_Backspace ? QStringLiteral("\b") : key->text();
        if (typed.isEmpty()) return false;
        return !engine::KeepsTypedCharacter(field, typed.front().unicode());
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmToolPaths::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        frame_.jobState().CancelRequested = true;
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmToolPaths::Button2Click() {
    frame_.jobState().CancelRequested = true;
    hide();
}

}  // namespace quarvel::app
