#pragma once

#include <QFont>
#include <vector>

#include "platform/ui/controls/Control.h"

namespace tovrin::ui {

// A row of segments of which one is selected; touching another selects it and sends ValueChanged.
class SegmentedControl : public Control {
    Q_OBJECT
public:
    static constexpr int NoSegment = -1;

    explicit SegmentedControl(const QStringList& titles = {}, QWidget* parent = nullptr);

    int numberOfSegments() const { return int(segments_.size()); }
    void insertSegment(const QString& title, int index);
    void removeSegment(int index);
    void removeAllSegments();
    QString titleForSegment(int index) const;
    void setTitle(const QString& title, int index);
    void setSegmentEnabled(bool enabled, int index);
    bool isSegmentEnabled(int index) const;
    int selectedSegmentIndex() const { return selected_; }
    // Selecting in code sends nothing.
    void setSelectedSegmentIndex(int index);
    void setTitleFont(const QFont& font);

    QSizeF sizeThatFits(const QSizeF& size) const override;

protected:
    void endTracking(const QPointF& location) override;
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    struct Segment {
        QString title;
        bool enabled = true;
    };
    int segmentAt(const QPointF& location) const;

    std::vector<Segment> segments_;
    int selected_ = NoSegment;
    QFont font_;
};

}  // namespace tovrin::ui
