#include "Categories/UI/View+NibView.h"

#include <QPointer>

#include "UserInterface/Nibs.h"
#include "platform/foundation/Error.h"
#include "platform/ui/views/View.h"

namespace tovrin {

ui::View* constrainViewToBoundsWithNibName(ui::View* view, const QString& nibName) {
    view->setBackgroundColor(Qt::transparent);
    const auto views = loadNibNamed(nibName);
    TVR_ASSERT(!views.empty(), QStringLiteral("the nib has no view: ") + nibName);
    ui::View* nibView = views.front();
    for (auto it = views.begin() + 1; it != views.end(); ++it) delete *it;
    view->addSubview(nibView);
    auto pin = [container = QPointer<ui::View>(view), nibView] {
        if (container && nibView->superview() == container) {
            nibView->setFrame(QRectF(QPointF(0, 0), container->frame().size()));
        }
    };
    pin();
    // Tied to the nib's view: the pinning ends when it goes.
    QObject::connect(view, &ui::View::geometryChanged, nibView, pin);
    return nibView;
}

}  // namespace tovrin
