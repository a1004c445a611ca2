#pragma once

#include <map>
#include <optional>

#include "platform/ui/controls/Control.h"
#include "platform/ui/text/AttributedString.h"
#include "platform/ui/views/Image.h"

namespace tovrin::ui {

class ImageView;
class Label;

// A control with a title and an image (and a background image) per state. A state without its
// own value shows the selected state's when selected, else the normal state's. A system button
// draws its title in the tint colour and dims it while highlighted.
class Button : public Control {
    Q_OBJECT
public:
    enum class Type { Custom, System };

    explicit Button(Type type = Type::Custom, QWidget* parent = nullptr);

    Type buttonType() const { return type_; }

    void setTitle(const QString& title, int state = Normal);
    QString titleForState(int state) const;
    QString currentTitle() const { return titleForState(state()); }
    void setAttributedTitle(const std::optional<AttributedString>& title, int state = Normal);
    void setTitleColor(const QColor& color, int state = Normal);
    QColor titleColorForState(int state) const;
    void setImage(const Image& image, int state = Normal);
    Image imageForState(int state) const;
    Image currentImage() const { return imageForState(state()); }
    void setBackgroundImage(const Image& image, int state = Normal);
    Image backgroundImageForState(int state) const;

    Label* titleLabel() const { return titleLabel_; }
    ImageView* imageView() const { return imageView_; }

    const EdgeInsets& contentEdgeInsets() const { return contentEdgeInsets_; }
    void setContentEdgeInsets(const EdgeInsets& insets);
    void setTitleEdgeInsets(const EdgeInsets& insets);
    void setImageEdgeInsets(const EdgeInsets& insets);
    void setAdjustsImageWhenHighlighted(bool adjusts) { adjustsImageWhenHighlighted_ = adjusts; }

    QSizeF sizeThatFits(const QSizeF& size) const override;
    QSizeF intrinsicContentSize() const override { return sizeThatFits(QSizeF()); }

protected:
    void stateChanged() override;
    void tintColorDidChange() override;
    void layoutSubviews() override;
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    template <class T>
    static std::optional<T> lookup(const std::map<int, T>& values, int state);
    void updateContent();
    QSizeF titleSize() const;

    Type type_;
    std::map<int, QString> titles_;
    std::map<int, AttributedString> attributedTitles_;
    std::map<int, QColor> titleColors_;
    std::map<int, Image> images_;
    std::map<int, Image> backgroundImages_;
    Label* titleLabel_;
    ImageView* imageView_;
    EdgeInsets contentEdgeInsets_;
    EdgeInsets titleEdgeInsets_;
    EdgeInsets imageEdgeInsets_;
    bool adjustsImageWhenHighlighted_ = true;
};

}  // namespace tovrin::ui
