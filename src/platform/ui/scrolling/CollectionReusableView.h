#pragma once

#include "platform/ui/views/Geometry.h"
#include "platform/ui/views/View.h"

namespace tovrin::ui {

// A view that a collection or table view keeps for reuse under an identifier.
class CollectionReusableView : public View {
    Q_OBJECT
public:
    explicit CollectionReusableView(QWidget* parent = nullptr) : View(parent) {}

    const QString& reuseIdentifier() const { return reuseIdentifier_; }
    // Called before the view is handed out again.
    virtual void prepareForReuse() {}

private:
    friend class CollectionView;
    friend class TableView;
    QString reuseIdentifier_;
};

}  // namespace tovrin::ui
