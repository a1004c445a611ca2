#pragma once

#include <QPointer>
#include <QString>
#include <memory>

namespace tovrin::ui {

class View;

// A named value that a view's own layout code reads: there is no general solver. Changing it asks the
// owning view (and its superview) to lay out again, so a change inside an animation block followed by
// `layoutIfNeeded()` animates.
class LayoutConstraint {
public:
    static constexpr float Required = 1000;

    explicit LayoutConstraint(double constant = 0, float priority = Required, QString identifier = {});

    double constant() const { return constant_; }
    void setConstant(double constant);

    float priority() const { return priority_; }
    void setPriority(float priority);

    bool isActive() const { return active_; }
    void setActive(bool active);

    const QString& identifier() const { return identifier_; }

    View* owner() const { return owner_; }
    void setOwner(View* owner) { owner_ = owner; }

    // The active one of the two with the higher priority; the first on a tie. Null when neither is active.
    static const LayoutConstraint* winner(const LayoutConstraint* first, const LayoutConstraint* second);

private:
    void changed();

    double constant_;
    float priority_;
    bool active_ = true;
    QString identifier_;
    QPointer<View> owner_;
};

}  // namespace tovrin::ui
