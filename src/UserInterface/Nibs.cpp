#include "UserInterface/Nibs.h"

#include "UserInterface/CheckmarkButton.h"
#include "UserInterface/KeyboardAccessoryView.h"
#include "UserInterface/ModeratedImageView.h"
#include "UserInterface/MultiSelectViewController.h"

#include "platform/foundation/Error.h"

#include <map>

namespace tovrin {

namespace {

// One line per nib; its builder lives with the class that owns the nib.
const std::map<QString, NibBuilder>& nibBuilders() {
    static const std::map<QString, NibBuilder> builders{
        {QStringLiteral("CheckmarkButton"), &checkmarkButtonNib},
        {QStringLiteral("KeyboardAccessoryView"), &KeyboardAccessoryView::nib},
        {QStringLiteral("ModeratedImageViewOverlay"), &ModeratedImageView::overlayNib},
        {QStringLiteral("ModeratedImageViewOverlaySmall"), &ModeratedImageView::smallOverlayNib},
        {QStringLiteral("ItemCell"), &ItemCell::nib},
    };
    return builders;
}

}  // namespace

std::vector<ui::View*> loadNibNamed(const QString& name, QObject* owner) {
    const auto& builders = nibBuilders();
    const auto found = builders.find(name);
    TVR_ASSERT(found != builders.end(), QStringLiteral("no nib named ") + name);
    return found->second(owner);
}

}  // namespace tovrin
