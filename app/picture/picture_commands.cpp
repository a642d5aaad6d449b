// The Image menu: which imaging operation each command runs with which constants, which
// colour depths it accepts, what it says when it refuses and what the status bar shows.
#include <QApplication>
#include <QMenu>

#include "picture/picture_window.h"
#include "shell/busy_cursor.h"
#include "shell/quarvel_frame.h"

namespace quarvel::app {

namespace {

using imaging::ImagingModel;

enum class DepthRule {
    Any,
    SilentWhen24,  // nothing happens when the picture already has 24 bits
    ConfirmWhen8,  // an 8-bit picture is refused with a confirmation box
    SilentWhen4,
    SilentBelow4,
    Only8,             // information "Works on 8 Bit Images only"
    Only24,            // Require24Bit
    Only24Or8Confirm,  // confirmation "Works on 24 and 8 Bit Images only"
};

enum class Ending { ShowReady, KeepStatus };  // "Ready..." when done, or the status stays
enum class Input { None, Direction };         // Direction: asks for a compass direction first

struct ImageCommand {
    const char* component;
    const char* caption;
    DepthRule rule;
    const char* refusal;  // for ConfirmWhen8
    const char* status;   // empty: no status message
    Ending ending;
    Input input;
    void (*run)(ImagingModel&, int direction);
};

constexpr const char* kAlready8 = "Image is already 8 Bits";
constexpr const char* kTo256 = "Converting to 256 Colors...Please Wait...";
constexpr const char* kToGrey = "Converting to Grey... Please Wait...";

// clang-format off
const ImageCommand kConvertCommands[] = {
    {"mnuConvertToMillions", "To &millions of colors", DepthRule::SilentWhen24, "",
     "Converting to Millions of Colors...Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ConvertTo24Bit(); }},
    {"mnuConvertTo16", "To &16 Colors", DepthRule::SilentWhen4, "",
     "Converting to 16 Colors... Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ConvertColors(64); }},
    {"mnu8Colors", "Use &8 Colrors", DepthRule::SilentBelow4, "", "Converting to 8 Colors...",
     Ending::ShowReady, Input::None, [](ImagingModel& m, int) { m.ConvertTo8Colors(100); }},
    {"BlackandWhite2", "&Black and White", DepthRule::ConfirmWhen8,
     "Image is 8 Bit. Convert to Millions Colors",
     "Converting to Black and White...Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ConvertColors(32); }},
    {"mnuConvertToNegative", "&Negative", DepthRule::Any, "",
     "Converting to Negative... Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.Negative(0); }},
};
const ImageCommand k256Commands[] = {
    {"Popularity1", "&Popularity", DepthRule::ConfirmWhen8, kAlready8, kTo256, Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ConvertColors(1); }},
    {"MedianCut1", "&Median Cut", DepthRule::ConfirmWhen8, kAlready8, kTo256, Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ConvertColors(2); }},
    {"Uniform8841", "Uniform &884", DepthRule::ConfirmWhen8, kAlready8, kTo256, Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ConvertColors(4); }},
    {"Uniform6661", "Uniform &666", DepthRule::ConfirmWhen8, kAlready8, kTo256, Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ConvertColors(8); }},
    {"GreyScale1", "&Grey Scale", DepthRule::ConfirmWhen8, kAlready8,
     "Converting to 256 Shades of Grey...Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ConvertColors(16); }},
    {"Halftone1", "&Halftone", DepthRule::ConfirmWhen8, kAlready8, kTo256, Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ConvertColors(128); }},
};
const ImageCommand kGreyCommands[] = {
    {"mnuGrayMax", "&Maximum", DepthRule::Any, "", kToGrey, Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.Grayscale(1, 0.3f, 0.5f, 0.2f); }},
    {"mnuGrayMean", "M&ean", DepthRule::Any, "", kToGrey, Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.Grayscale(2, 0.3f, 0.5f, 0.2f); }},
    {"mnuGrayWeighted", "&Weighted Mean", DepthRule::Any, "", kToGrey, Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.Grayscale(4, 0.3f, 0.59f, 0.11f); }},
};
const ImageCommand kReduceCommands[] = {
    {"mnuReduceTo64", "To &64 Shades", DepthRule::Only8, "",
     "Reducing Greyscale to 64 Colors... Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ReduceGrayLevels(64); }},
    {"mnuReduce32", "To &32 Shades", DepthRule::Only8, "",
     "Reducing Greyscale to 32 Colors... Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ReduceGrayLevels(32); }},
    {"mnuReduce16", "To &16 Shades", DepthRule::Only8, "",
     "Reducing Greyscale to 16 Colors... Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ReduceGrayLevels(16); }},
};
const ImageCommand kEdgeCommands[] = {
    {"mnuGradientEdge", "&Gradient Edge", DepthRule::Only24, "", "Finding Edges... Please Wait...",
     Ending::ShowReady, Input::Direction, [](ImagingModel& m, int d) { m.GradientEdge(d); }},
    {"mnuLaplace", "&Laplace", DepthRule::Only24, "", "", Ending::KeepStatus, Input::None,
     [](ImagingModel& m, int) { m.Laplace(); }},
    {"mnuMatchedFilter", "&Matched Filter", DepthRule::Only24, "", "", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.MatchedFilter(0); }},
    {"mnuShiftDifference", "&Shift and Difference", DepthRule::Only24, "", "", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.ShiftDifference(3); }},
    {"mnuSobel", "S&obel", DepthRule::Only24, "", "", Ending::KeepStatus, Input::None,
     [](ImagingModel& m, int) { m.Sobel(10, false); }},
};
const ImageCommand kEnhance =
    {"mnuEnhance", "&Enhance Edges", DepthRule::Only24, "", "Enhanceing Edges... Please Wait...",
     Ending::ShowReady, Input::None, [](ImagingModel& m, int) { m.EnhanceEdges(); }};
const ImageCommand kEmboss = {"mnuEmboss", "Em&boss", DepthRule::Only24, "", "", Ending::KeepStatus, Input::Direction,
                              [](ImagingModel& m, int d) { m.Emboss(d); }};
const ImageCommand kDespeckle =
    {"mnuDespeckle", "&Despeckle", DepthRule::Only24, "", "Removing Speckles... Please Wait...",
     Ending::ShowReady, Input::None, [](ImagingModel& m, int) { m.Despeckle(); }};
const ImageCommand kPosterize =
    {"mnuPosterize", "&Posterize", DepthRule::Any, "", "Processing Posterize... Please Wait...",
     Ending::ShowReady, Input::None, [](ImagingModel& m, int) { m.Posterize(2); }};
const ImageCommand kSharpenCommands[] = {
    {"mnuSharpen", "&Sharpen", DepthRule::Only24, "", "Processing Sharpen... Please Wait...",
     Ending::ShowReady, Input::None, [](ImagingModel& m, int) { m.Sharpen(); }},
    {"mnuSharpenMore", "Sharpen &More", DepthRule::Only24, "",
     "Processing Sharpen More... Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.SharpenMore(); }},
    {"mnuSharpenMax", "Sharpen Max", DepthRule::Only24, "",
     "Processing Really Sharpen... Please Wait...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.SharpenMax(); }},
};
const ImageCommand kBlurCommands[] = {
    {"mnuBlur", "&Soften", DepthRule::Only24, "", "Processing Soften...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.Soften(); }},
    {"mnuBlurMore", "&Blur ", DepthRule::Only24, "", "Processing Blur...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.Blur(); }},
    {"mnuBlurMax", "Blur &More", DepthRule::Only24, "", "Processing Blur More...", Ending::ShowReady, Input::None,
     [](ImagingModel& m, int) { m.BlurMore(); }},
};
const ImageCommand kFlip = {"mnuFlip", "F&lip", DepthRule::Only24Or8Confirm, "",
                            "Flipping Image... Please Wait...", Ending::ShowReady, Input::None,
                            [](ImagingModel& m, int) { m.Rotate(180.0f); }};
const ImageCommand kRotate90 = {"Flip901", "Rotate &90", DepthRule::Only24Or8Confirm, "",
                                "Rotating Image 90 Degrees... Please Wait...", Ending::ShowReady, Input::None,
                                [](ImagingModel& m, int) { m.Rotate(90.0f); }};
// clang-format on

// Shows the Direction dialog with the normal cursor, whatever the caller shows.
int askDirection(TQuarvelFrame& frame) {
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    frame.prompts().runModal(frame.directionDialog());
    QApplication::restoreOverrideCursor();
    return frame.jobState().LightDirection;
}

}  // namespace

// The depth test of a command: true when it may run; shows its refusal otherwise.
static bool passesDepthTest(TfrmPicture& picture, TQuarvelFrame& frame, const ImageCommand& c) {
    const int depth = picture.TP->model().ImageBitCount();
    auto refuse = [&](MessageKind kind, const QString& text) {
        frame.prompts().message(&picture, kind, text);
        return false;
    };
    switch (c.rule) {
        case DepthRule::Any: return true;
        case DepthRule::SilentWhen24: return depth != 24;
        case DepthRule::SilentWhen4: return depth != 4;
        case DepthRule::SilentBelow4: return depth >= 4;
        case DepthRule::ConfirmWhen8:
            return depth != 8 || refuse(MessageKind::Confirmation, QString::fromLatin1(c.refusal));
        case DepthRule::Only8:
            return depth == 8 ||
                   refuse(MessageKind::Information, QStringLiteral("Works on 8 Bit Images only"));
        case DepthRule::Only24: return picture.Require24Bit();
        case DepthRule::Only24Or8Confirm:
            return depth == 24 || depth == 8 ||
                   refuse(MessageKind::Confirmation,
                          QStringLiteral("Works on 24 and 8 Bit Images only"));
    }
    return false;
}

QMenu* TfrmPicture::buildImageMenu() {
    imageMenu_ = new QMenu(QStringLiteral("&Image"), this);
    auto add = [this](QMenu* menu, const ImageCommand& c) {
        QAction* action = menu->addAction(QString::fromLatin1(c.caption));
        action->setObjectName(QString::fromLatin1(c.component));
        connect(action, &QAction::triggered, this, [this, &c] {
            if (!passesDepthTest(*this, frame_, c)) return;
            const int direction = c.input == Input::Direction ? askDirection(frame_) : 0;
            BusyCursor busy;
            if (*c.status) setStatus(QString::fromLatin1(c.status));
            TP->apply([&](imaging::ImagingModel& m) { c.run(m, direction); });
            if (&c == &kRotate90) FormResize();
            if (c.ending == Ending::ShowReady) frame_.ShowReady();
            markChanged();
        });
        return action;
    };
    auto addAll = [&](QMenu* menu, const auto& commands) {
        for (const ImageCommand& c : commands) add(menu, c);
    };
    auto addDialog = [this](QMenu* menu, const char* component, const char* caption,
                            void (TfrmPicture::*handler)()) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(component));
        connect(action, &QAction::triggered, this, handler);
    };

    QMenu* convert = imageMenu_->addMenu(QStringLiteral("&Convert"));
    add(convert, kConvertCommands[0]);
    addAll(convert->addMenu(QStringLiteral("To &256 Colors")), k256Commands);
    add(convert, kConvertCommands[1]);
    add(convert, kConvertCommands[2]);
    addAll(convert->addMenu(QStringLiteral("To &Grayscale")), kGreyCommands);
    add(convert, kConvertCommands[3]);
    add(convert, kConvertCommands[4]);
    addAll(imageMenu_->addMenu(QStringLiteral("&Reduce Shades of Grey")), kReduceCommands);
    addDialog(imageMenu_, "mnuAdjustImge", "&Image Adjustment", &TfrmPicture::mnuAdjustImgeClick);
    addAll(imageMenu_->addMenu(QStringLiteral("&Find Edges")), kEdgeCommands);
    add(imageMenu_, kEnhance);
    add(imageMenu_, kEmboss);
    addDialog(imageMenu_, "mnu3dShade", "3&D Shade", &TfrmPicture::mnu3dShade2Click);
    addDialog(imageMenu_, "mnu3dShade2", "&3D Texture Shade", &TfrmPicture::mnu3dShadeClick);
    add(imageMenu_, kDespeckle);
    add(imageMenu_, kPosterize);
    addAll(imageMenu_->addMenu(QStringLiteral("&Sharpen")), kSharpenCommands);
    addAll(imageMenu_->addMenu(QStringLiteral("&Blur")), kBlurCommands);
    add(imageMenu_, kFlip);
    add(imageMenu_, kRotate90);
    addDialog(imageMenu_, "Resize1", "Res&ize", &TfrmPicture::Resize1Click);
    return imageMenu_;
}

void TfrmPicture::mnu3dShade2Click() {
    BusyCursor busy;
    setStatus(QStringLiteral("Processing 3D Shade..."));
    if (TP->model().ImageBitCount() != 24) {
        TP->apply([](imaging::ImagingModel& m) { m.ConvertTo24Bit(); });
    }
    const int direction = askDirection(frame_);
    TP->apply([direction](imaging::ImagingModel& m) {
        m.Negative(0);
        m.Emboss(direction);
        m.Grayscale(4, 0.3f, 0.59f, 0.11f);
    });
    frame_.ShowReady();
    markChanged();
}

void TfrmPicture::mnuAdjustImgeClick() {
    NoteTargetWindow();
    frame_.OpenAdjustmentDialog();
    Modified = true;
}

void TfrmPicture::mnu3dShadeClick() {
    const int depth = TP->model().ImageBitCount();
    if (depth != 24 && depth != 8) {
        frame_.prompts().message(this, MessageKind::Information,
                                 QStringLiteral("Works on 24 and 8 Bit Images only"));
        return;
    }
    NoteTargetWindow();
    frame_.OpenTextureShadeDialog();
    Modified = true;
}

void TfrmPicture::Resize1Click() {
    NoteTargetWindow();
    frame_.OpenResizeDialog();
    Modified = true;
}

}  // namespace quarvel::app
