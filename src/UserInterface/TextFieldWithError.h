#pragma once

#include <QPointer>
#include <QString>

#include "platform/ui/text/TextField.h"

namespace tovrin {

namespace ui {
class Button;
class Label;
}  // namespace ui

// The text field of the account forms. A small caption above the text shows the placeholder once
// something is typed, or an error message on a red ground; a clear button shows while a non-empty
// field is being edited. An edit, the start of editing or the clear button ends the error.
class TextFieldWithError : public ui::TextField {
    Q_OBJECT
public:
    // From code: no placeholder yet, so no accessibility identifier.
    explicit TextFieldWithError(const QRectF& frame = QRectF(), QWidget* parent = nullptr);
    // As a storyboard lays it out: the placeholder is there before the set-up, so it also becomes
    // the accessibility identifier.
    TextFieldWithError(const QString& placeholder, const QRectF& frame, QWidget* parent = nullptr);

    ui::Label* metaLabel() const { return metaLabel_; }
    ui::Button* clearButton() const { return clearButton_; }
    double paddingSize() const { return paddingSize_; }
    void setPaddingSize(double padding);
    // Whether the text sits lower to make room for the caption.
    bool shiftTextWithPadding() const;
    // Whether the caption shows an error message now.
    bool showsError() const { return showsError_; }

    // Also the caption's text. Hides the plain field's call of that name.
    void setPlaceholder(const QString& placeholder);

    void showErrorMessage(const QString& message);
    // Empties the field and tells the field's targets of the change as typing would.
    void clearTextField();

    QString accessibilityLabel() const override;

    QRectF textRectForBounds(const QRectF& bounds) const override;
    QRectF editingRectForBounds(const QRectF& bounds) const override { return textRectForBounds(bounds); }
    QRectF rightViewRectForBounds(const QRectF& bounds) const override;
    QSizeF intrinsicContentSize() const override;

protected:
    void layoutSubviews() override;

private:
    void setUp();
    void valueChanged();
    void editingBegan();
    double captionLineHeight() const;

    QPointer<ui::Label> metaLabel_;
    QPointer<ui::Button> clearButton_;
    double paddingSize_ = 5;
    bool showsError_ = false;
};

}  // namespace tovrin
