#include "platform/ui/controls/PickerView.h"

#include <QPainter>
#include <cmath>
#include <map>

#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"

namespace tovrin::ui {

// One component: a scroll view of rows that rests with a row in the middle.
class PickerView::Wheel : public ScrollView {
public:
    Wheel(PickerView* picker, int component)
        : ScrollView(picker),
          picker_(picker),
          component_(component),
          settler_(std::make_shared<Settler>(this)) {
        setDelegate(settler_);
        setShowsVerticalScrollIndicator(false);
        setAlwaysBounceVertical(true);
        setAccessibilityIdentifier(QStringLiteral("PickerComponent%1").arg(component));
    }

    int component() const { return component_; }
    int rows() const { return rows_; }
    double rowHeight() const { return rowHeight_; }

    void reload() {
        auto source = picker_->dataSource();
        auto delegate = picker_->delegate();
        const int previous = selectedRow();
        rows_ = source ? std::max(0, source->numberOfRowsInComponent(*picker_, component_)) : 0;
        rowHeight_ = delegate ? delegate->rowHeightForComponent(*picker_, component_) : 32;
        if (delegate) {
            if (auto label = delegate->accessibilityLabelForComponent(*picker_, component_))
                setAccessibilityLabel(*label);
            if (auto hint = delegate->accessibilityHintForComponent(*picker_, component_))
                setAccessibleDescription(*hint);
        }
        for (auto& [row, view] : shown_) {
            if (view) pool_.push_back(view);
            if (view) view->hide();
        }
        shown_.clear();
        setContentSize(QSizeF(bounds().width(), rows_ * rowHeight_));
        centreInsets();
        select(std::clamp(previous, 0, std::max(0, rows_ - 1)), false);
        tile();
    }

    int selectedRow() const {
        if (rows_ == 0) return 0;
        return std::clamp(int(std::lround((contentOffset().y() + contentInset().top) / rowHeight_)), 0,
                          rows_ - 1);
    }

    // An empty wheel rests at its top, so that rows loaded later start from the first.
    void select(int row, bool animated) {
        setContentOffset(QPointF(0, (rows_ == 0 ? 0 : row) * rowHeight_ - contentInset().top), animated);
    }

    View* viewForRow(int row) const {
        auto found = shown_.find(row);
        return found == shown_.end() ? nullptr : found->second.data();
    }

    void touchesEnded(const Touches& touches) override {
        if (isDragging() || isDecelerating()) return;
        const int row = int(std::floor(touches.front().locationInView(this).y() / rowHeight_));
        if (row < 0 || row >= rows_) return;
        select(row, true);
        picker_->wheelDidSettle(component_, row);
    }

    void settle() {
        const int row = selectedRow();
        select(row, true);
        picker_->wheelDidSettle(component_, row);
    }

protected:
    void layoutSubviews() override {
        setContentSize(QSizeF(bounds().width(), rows_ * rowHeight_));
        // A new height moves the middle: the wheel stays on its row.
        const int row = selectedRow();
        const double top = contentInset().top;
        centreInsets();
        if (contentInset().top != top && !isDragging() && !isDecelerating()) select(row, false);
        tile();
        ScrollView::layoutSubviews();
    }
    void contentOffsetDidChange() override { tile(); }

private:
    // Settles the wheel on a row when the hand or the throw stops.
    struct Settler : ScrollViewDelegate {
        explicit Settler(Wheel* wheel) : wheel(wheel) {}
        void scrollViewDidEndDragging(ScrollView&, bool willDecelerate) override {
            if (!willDecelerate && wheel) wheel->settle();
        }
        void scrollViewDidEndDecelerating(ScrollView&) override {
            if (wheel) wheel->settle();
        }
        QPointer<Wheel> wheel;
    };

    void centreInsets() {
        const double margin = std::max(0.0, (bounds().height() - rowHeight_) / 2);
        setContentInset(EdgeInsets{margin, 0, margin, 0});
    }

    void tile() {
        if (rows_ == 0) return;
        const QRectF visible = bounds();
        const int first = std::max(0, int(std::floor(visible.top() / rowHeight_)));
        const int last = std::min(rows_ - 1, int(std::floor(visible.bottom() / rowHeight_)));
        for (auto it = shown_.begin(); it != shown_.end();) {
            if (it->first >= first && it->first <= last && it->second) {
                ++it;
                continue;
            }
            if (it->second) {
                it->second->hide();
                pool_.push_back(it->second);
            }
            it = shown_.erase(it);
        }
        const double middle = visible.center().y();
        for (int row = first; row <= last; ++row) {
            View* view = viewForRow(row);
            if (!view) view = makeRow(row);
            if (!view) continue;
            const QRectF frame(0, row * rowHeight_, visible.width(), rowHeight_);
            view->setFrame(frame);
            // Rows further from the middle fade, as on a turning wheel.
            const double distance =
                std::abs(frame.center().y() - middle) / std::max(1.0, visible.height() / 2);
            view->setAlpha(std::clamp(1.0 - distance * 0.7, 0.2, 1.0));
        }
    }

    View* makeRow(int row) {
        auto delegate = picker_->delegate();
        View* reusing = nullptr;
        while (!pool_.empty() && !reusing) {
            reusing = pool_.back();
            pool_.pop_back();
        }
        View* view = delegate ? delegate->viewForRow(*picker_, row, component_, reusing) : nullptr;
        if (!view) {
            auto* label = qobject_cast<Label*>(reusing);
            if (!label) {
                delete reusing;
                label = new Label();
                label->setFont(Font::systemFont(21));
                label->setTextAlignment(Qt::AlignCenter);
            }
            if (auto attributed =
                    delegate ? delegate->attributedTitleForRow(*picker_, row, component_) : std::nullopt) {
                label->setAttributedText(*attributed);
            } else {
                label->setText((delegate ? delegate->titleForRow(*picker_, row, component_) : std::nullopt)
                                   .value_or(QStringLiteral("?")));
            }
            view = label;
        } else if (reusing && reusing != view) {
            delete reusing;
        }
        view->setUserInteractionEnabled(false);
        addSubview(view);
        view->show();
        shown_[row] = view;
        return view;
    }

    PickerView* picker_;
    int component_;
    int rows_ = 0;
    double rowHeight_ = 32;
    std::shared_ptr<Settler> settler_;
    std::map<int, QPointer<View>> shown_;
    std::vector<QPointer<View>> pool_;
};

PickerView::PickerView(QWidget* parent) : View(parent) {
    setFrame(QRectF(QPointF(0, 0), intrinsicContentSize()));
    setBackgroundColor(Qt::white);
}

PickerView::~PickerView() = default;

void PickerView::setDataSource(std::weak_ptr<PickerViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
    reloadAllComponents();
}

void PickerView::setDelegate(std::weak_ptr<PickerViewDelegate> delegate) {
    delegate_ = std::move(delegate);
    reloadAllComponents();
}

PickerView::Wheel* PickerView::wheel(int component) const {
    return component >= 0 && component < int(wheels_.size()) ? wheels_[size_t(component)].data() : nullptr;
}

int PickerView::numberOfRowsInComponent(int component) const {
    auto* found = wheel(component);
    return found ? found->rows() : 0;
}

void PickerView::reloadAllComponents() {
    auto source = dataSource_.lock();
    const int components = source ? std::max(0, source->numberOfComponents(*this)) : 0;
    while (int(wheels_.size()) > components) {
        delete wheels_.back().data();
        wheels_.pop_back();
    }
    while (int(wheels_.size()) < components) {
        auto* added = new Wheel(this, int(wheels_.size()));
        addSubview(added);
        wheels_.push_back(added);
    }
    layoutSubviews();
    for (auto& each : wheels_) each->reload();
}

void PickerView::reloadComponent(int component) {
    if (auto* found = wheel(component)) found->reload();
}

void PickerView::selectRow(int row, int component, bool animated) {
    if (auto* found = wheel(component))
        found->select(std::clamp(row, 0, std::max(0, found->rows() - 1)), animated);
}

int PickerView::selectedRowInComponent(int component) const {
    auto* found = wheel(component);
    return found && found->rows() > 0 ? found->selectedRow() : -1;
}

View* PickerView::viewForRow(int row, int component) const {
    auto* found = wheel(component);
    return found ? found->viewForRow(row) : nullptr;
}

void PickerView::wheelDidSettle(int component, int row) {
    if (auto delegate = delegate_.lock()) delegate->didSelectRow(*this, row, component);
}

QSizeF PickerView::sizeThatFits(const QSizeF& size) const {
    return QSizeF(size.width() > 0 ? size.width() : 320, 216);
}

void PickerView::layoutSubviews() {
    if (wheels_.empty()) return;
    auto delegate = delegate_.lock();
    const double total = bounds().width();
    std::vector<double> widths;
    double fixed = 0;
    int flexible = 0;
    for (size_t component = 0; component < wheels_.size(); ++component) {
        auto width = delegate ? delegate->widthForComponent(*this, int(component)) : std::nullopt;
        widths.push_back(width.value_or(-1));
        if (width) {
            fixed += *width;
        } else {
            ++flexible;
        }
    }
    const double share = flexible ? std::max(0.0, total - fixed) / flexible : 0;
    double x = flexible ? 0 : (total - fixed) / 2;
    for (size_t component = 0; component < wheels_.size(); ++component) {
        const double width = widths[component] >= 0 ? widths[component] : share;
        if (wheels_[component]) wheels_[component]->setFrame(QRectF(x, 0, width, bounds().height()));
        x += width;
    }
}

void PickerView::drawRect(QPainter& painter, const QRectF& rect) {
    // The selection band across the middle.
    const double rowHeight = wheels_.empty() || !wheels_.front() ? 32 : wheels_.front()->rowHeight();
    const double top = rect.center().y() - rowHeight / 2;
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.drawLine(QPointF(rect.left(), top), QPointF(rect.right(), top));
    painter.drawLine(QPointF(rect.left(), top + rowHeight), QPointF(rect.right(), top + rowHeight));
}

}  // namespace tovrin::ui
