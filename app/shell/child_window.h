#pragma once
// What the main frame needs from its child windows without knowing their classes.
#include <QList>
#include <QString>

class QMenu;

namespace quarvel::app {

// A child that carries its own menu bar, shown in the frame while the child is active.
class MenuOwner {
public:
    virtual ~MenuOwner() = default;
    virtual QList<QMenu*> windowMenus() const = 0;
};

// A picture document: the frame's tool buttons and error handler act on it.
class PictureDocument {
public:
    virtual ~PictureDocument() = default;
    virtual void LoadPictureFile(const QString& path) = 0;
    virtual void mnuSaveClick() = 0;
    virtual void mnuCutClick() = 0;
    virtual void mnuCopyClick() = 0;
    virtual void mnuPasteClick() = 0;
    // Puts the imaging control back into a usable state after a failed command.
    virtual void RecoverFromError() = 0;
    // The file the picture was loaded from or saved to; empty for a new picture.
    virtual QString filePath() const { return {}; }
    // Size, depth and resolution, for the status bar's detail panel.
    virtual QString statusDetail() const = 0;
};

}  // namespace quarvel::app
