#include "surface/surface_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <utility>

#include "shell/busy_cursor.h"
#include "shell/status_panels.h"
#include "shell/user_prompts.h"
#include "surface/machine_choice.h"
#include "surface/tool_mask.h"

namespace quarvel::app {

using surface::SurfaceField;

namespace {

// Layout in pixels: two columns of fields, the two check boxes, the gouge group across
// the whole width, then the buttons and the progress bar along the bottom edge.
constexpr int kMargin = 8;
constexpr int kLabelWidth = 86;
constexpr int kFieldWidth = 72;
constexpr int kRowHeight = 28;
constexpr int kControlHeight = 22;
constexpr int kSecondColumn = 182;
constexpr int kChecksTop = kMargin + 4 * kRowHeight + 4;
constexpr int kGroupTop = kChecksTop + 28;
constexpr int kGroupHeight = 58;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;
constexpr int kBarHeight = 16;

constexpr char kAspectHint[] = "Keeps Width x Height Constant";

QString qText(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TDXF::TDXF(SurfaceDialogContext context, QWidget* parent)
    : QWidget(parent),
      context_(std::move(context)),
      form_(context_.job.HeightGrid.columns, context_.job.HeightGrid.rows, context_.picture,
            context_.job.JobMode) {
    BusyCursor busy;
    if (context_.writeResolution) context_.writeResolution(form_.xRes(), form_.yRes());
    refreshing_ = true;  // the controls' own signals while they are built are not edits
    buildControls();
    refreshFields();
    const bool isDxf = context_.job.JobMode == JobModeCode::DxfSurface;
    setWindowTitle(isDxf ? QStringLiteral("Create DXf Surface")
                         : QStringLiteral("Create G-Code File"));
    showGCodeFields(!isDxf);
    // Width and height follow the gouge group: 10 to its right, 55 below it for the
    // buttons and the progress bar.
    setFixedSize(Frm1->geometry().right() + 1 + 10, Frm1->geometry().bottom() + 1 + 55);
    ProgressBar1->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
    watchKeys();
}

TDXF::~TDXF() = default;

QLineEdit* TDXF::addField(SurfaceField field, QLabel*& label, int x, int y, const char* hint) {
    label = new QLabel(QString::fromLatin1(surface::FieldCaption(field)), this);
    label->setGeometry(x, y, kLabelWidth, kControlHeight);
    auto* edit = new QLineEdit(this);
    edit->setGeometry(x + kLabelWidth, y, kFieldWidth, kControlHeight);
    label->setBuddy(edit);
    if (hint) edit->setToolTip(QString::fromLatin1(hint));
    fields_[field] = edit;
    connect(edit, &QLineEdit::textChanged, this,
            [this, field](const QString& text) { fieldEdited(field, text); });
    return edit;
}

void TDXF::buildControls() {
    const int left = kMargin;
    const int right = kSecondColumn;
    const auto row = [](int i) { return kMargin + i * kRowHeight; };
    Edit1 = addField(SurfaceField::SizeX, Label1, left, row(0), "Width in Units");
    Edit2 = addField(SurfaceField::SizeY, Label2, left, row(1), "Height in Units");
    Edit5 = addField(SurfaceField::Depth, Label5, left, row(2), "Maximum Depth");
    Edit7 = addField(SurfaceField::DepthPerPass, Label7, left, row(3), nullptr);
    Edit3 = addField(SurfaceField::StepX, Label3, right, row(0), "X Resolution");
    Edit4 = addField(SurfaceField::StepY, Label4, right, row(1), "Y Resolution");
    Edit6 = addField(SurfaceField::Feedrate, Label6, right, row(2), "Feedrate to Set");
    Edit8 = addField(SurfaceField::RapidHeight, Label8, right, row(3), nullptr);

    CheckBox1 = new QCheckBox(QStringLiteral("Keep Aspect Ratio"), this);
    CheckBox1->setGeometry(left, kChecksTop, kLabelWidth + kFieldWidth, kControlHeight);
    CheckBox1->setProperty("hint", QString::fromLatin1(kAspectHint));  // kept, not shown
    CheckBox1->setChecked(form_.keepAspectRatio());
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this](bool on) { form_.setKeepAspectRatio(on); });

    chkGouge = new QCheckBox(QStringLiteral("Use Gouge Control"), this);
    chkGouge->setGeometry(right, kChecksTop, kLabelWidth + kFieldWidth, kControlHeight);
    chkGouge->setChecked(form_.useGougeControl());
    connect(chkGouge, &QCheckBox::toggled, this, [this] { chkGougeClick(); });

    placeGougeGroup();
    placeButtons();
}

void TDXF::placeButtons() {
    const int buttonsTop = kGroupTop + kGroupHeight + kMargin;
    const int groupRight = kSecondColumn + kLabelWidth + kFieldWidth;
    Button1 = new QPushButton(QStringLiteral("Create"), this);
    Button1->setGeometry(groupRight - 2 * kButtonWidth - kMargin, buttonsTop, kButtonWidth,
                         kButtonHeight);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setGeometry(groupRight - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    // The machine lists share the buttons' row, left of them.
    machineChoice = std::make_unique<MachineChoice>(
        this, kMargin, buttonsTop, groupRight - 2 * kButtonWidth - 3 * kMargin, kButtonHeight);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
}

void TDXF::placeGougeGroup() {
    const int groupRight = kSecondColumn + kLabelWidth + kFieldWidth;
    Frm1 = new QGroupBox(QStringLiteral("Gouge Control"), this);
    Frm1->setGeometry(kMargin, kGroupTop, groupRight - kMargin, kGroupHeight);
    const int y = 24;
    lblType = new QLabel(QStringLiteral("Tool Type"), Frm1);
    lblType->setGeometry(kMargin, y, 60, kControlHeight);
    cmbType = new QComboBox(Frm1);
    cmbType->setEditable(true);
    cmbType->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view name : surface::kToolNames) {
        cmbType->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    cmbType->setGeometry(kMargin + 60, y, 90, kControlHeight);
    cmbType->setEditText(qText(form_.text(SurfaceField::ToolType)));
    lblType->setBuddy(cmbType);
    connect(cmbType, &QComboBox::editTextChanged, this,
            [this](const QString& text) { fieldEdited(SurfaceField::ToolType, text); });

    lblDia = new QLabel(QStringLiteral("Diameter"), Frm1);
    lblDia->setGeometry(kSecondColumn - kMargin, y, kLabelWidth, kControlHeight);
    txtDia = new QLineEdit(Frm1);
    txtDia->setGeometry(kSecondColumn - kMargin + kLabelWidth, y, kFieldWidth, kControlHeight);
    lblDia->setBuddy(txtDia);
    fields_[SurfaceField::Diameter] = txtDia;
    connect(txtDia, &QLineEdit::textChanged, this,
            [this](const QString& text) { fieldEdited(SurfaceField::Diameter, text); });
}

void TDXF::showGCodeFields(bool show) {
    for (QWidget* w : {static_cast<QWidget*>(Label6), static_cast<QWidget*>(Edit6),
                       static_cast<QWidget*>(Label7), static_cast<QWidget*>(Edit7),
                       static_cast<QWidget*>(Label8), static_cast<QWidget*>(Edit8)}) {
        w->setVisible(show);
    }
    machineChoice->setVisible(show);
}

QLineEdit* TDXF::fieldEdit(SurfaceField field) const {
    const auto it = fields_.find(field);
    return it == fields_.end() ? nullptr : it->second;
}

// The model takes the text as typed and may rewrite other fields; those are shown again,
// the one being typed in is left alone so that its cursor and text stay as they are.
void TDXF::fieldEdited(SurfaceField field, const QString& text) {
    if (refreshing_) return;
    form_.type(field, text.toStdString());
    refreshFields();
}

void TDXF::refreshFields() {
    refreshing_ = true;
    for (const auto& [field, edit] : fields_) {
        const QString text = qText(form_.text(field));
        if (edit->text() != text) edit->setText(text);
    }
    const QString tool = qText(form_.text(SurfaceField::ToolType));
    if (cmbType->currentText() != tool) cmbType->setEditText(tool);
    refreshing_ = false;
}

void TDXF::chkGougeClick() {
    const bool on = chkGouge->isChecked();
    form_.setUseGougeControl(on);
    for (QWidget* w : {static_cast<QWidget*>(Frm1), static_cast<QWidget*>(cmbType),
                       static_cast<QWidget*>(txtDia), static_cast<QWidget*>(lblType),
                       static_cast<QWidget*>(lblDia)}) {
        w->setEnabled(on);
    }
}

void TDXF::Button2Click() {
    if (Running) {
        CancelPressed = true;
    } else {
        closeDialog();
    }
}

// Key preview: every key typed anywhere in the dialog is seen here first.
void TDXF::watchKeys() {
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

bool TDXF::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape) {
        // Escape asks a running loop to stop; an idle dialog takes it as its Cancel.
        context_.job.CancelRequested = true;
        if (!Running) Button2Click();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !Running) {
        Button1->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Once inside the frame's subwindow, the frame gets a plain border and only a close box.
bool TDXF::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show) {
        makeSubWindowPlain();
    }
    return QWidget::event(event);
}

void TDXF::makeSubWindowPlain() {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!sub || subWindowStyled_) return;
    subWindowStyled_ = true;
    sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

// Closing while a job runs would pull the dialog from under it: the close box then acts
// as the Cancel button and the job ends on its own.
void TDXF::closeEvent(QCloseEvent* event) {
    if (Running) {
        CancelPressed = true;
        event->ignore();
        return;
    }
    context_.job.HeightGrid = TZGrid();
    event->accept();
    if (!qobject_cast<QMdiSubWindow*>(parentWidget())) deleteLater();
}

void TDXF::closeDialog() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->close();
    } else {
        close();
    }
}

void TDXF::setPosition(int percent) { ProgressBar1->setValue(percent); }

void TDXF::pump() { QCoreApplication::processEvents(); }

void TDXF::setStatus(const QString& text) {
    context_.status.setMessage(text);
    context_.status.repaintNow();
}

void TDXF::showMessage(const QString& text) {
    context_.prompts.message(this, MessageKind::Information, text);
}

}  // namespace quarvel::app
