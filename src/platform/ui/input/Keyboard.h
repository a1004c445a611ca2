#pragma once

#include <QPointer>
#include <QRectF>
#include <QString>
#include <memory>

#include "platform/ui/views/View.h"

namespace tovrin {
class NotificationCenter;
}

namespace tovrin::ui {

// The emulated soft keyboard of a window. When a responder that wants it becomes first responder,
// the panel (216 points of keys, or the responder's input view in their place, with the input
// accessory view above) slides up from the bottom edge, announced by the will-show and did-show
// notifications with the frames in window coordinates and the animation duration; resigning slides
// it down with will-hide and did-hide. A responder that is no text input and has no input view but
// an input accessory view brings up the accessory alone. Typing comes from the real keyboard.
//
// The accessory is laid out again at every move of the host, so that it can follow where the
// keyboard stands.
class Keyboard : public QObject {
    Q_OBJECT
public:
    static const QString WillShowNotification;
    static const QString DidShowNotification;
    static const QString WillHideNotification;
    static const QString DidHideNotification;
    static const QString FrameBeginUserInfoKey;
    static const QString FrameEndUserInfoKey;
    static const QString AnimationDurationUserInfoKey;

    static constexpr double KeysHeight = 216;
    static constexpr double AnimationDuration = 0.25;

    // `window` is the view the keyboard slides over: the window that owns it. Taking it as a view
    // keeps the keyboard below the window in the include graph.
    Keyboard(View* window, std::shared_ptr<NotificationCenter> notificationCenter);
    ~Keyboard() override;

    bool isVisible() const { return visible_; }
    // The panel with its accessory, in window coordinates (below the window while hidden).
    QRectF frame() const;
    // The view holding the accessory and the panel.
    View* hostView() const { return host_; }

    // Brings the keyboard up for the responder, or takes it down for none.
    void showFor(View* responder);
    void hide();
    void windowDidResize();

    // Follows a finger dragging over the keyboard from a scroll view (interactive dismissal).
    void trackInteractiveDismissal(const QPointF& windowLocation);
    // Ends it: true when the keyboard should go.
    bool endInteractiveDismissal(double velocityY);

private:
    QRectF shownFrame() const;
    QRectF hiddenFrame() const;
    void post(const QString& name, const QRectF& begin, const QRectF& end);
    void install(const std::shared_ptr<View>& input, const std::shared_ptr<View>& accessory, bool keys);
    double panelHeight() const;
    void hostMoved();
    void layoutHost();

    QPointer<View> window_;
    std::shared_ptr<NotificationCenter> notificationCenter_;
    QPointer<View> host_;
    QPointer<View> keys_;
    std::shared_ptr<View> inputView_;
    std::shared_ptr<View> accessoryView_;
    bool showsKeys_ = true;
    bool visible_ = false;
    int generation_ = 0;
};

}  // namespace tovrin::ui
