#pragma once

#include <QPointer>
#include <memory>
#include <optional>

#include "platform/ui/controls/Control.h"
#include "platform/ui/text/AttributedString.h"
#include "platform/ui/text/TextEdit.h"

class QLineEdit;

namespace tovrin::ui {

class TextField;

class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual bool shouldBeginEditing(TextField& textField) { return true; }
    virtual void didBeginEditing(TextField& textField) {}
    virtual bool shouldEndEditing(TextField& textField) { return true; }
    virtual void didEndEditing(TextField& textField) {}
    // Asked before an edit by the user takes effect; false refuses it whole.
    virtual bool shouldChangeCharacters(TextField& textField, const TextEdit& edit) { return true; }
    virtual bool shouldReturn(TextField& textField) { return true; }
};

enum class ReturnKeyType { Default, Go, Next, Done, Send, Search };
enum class KeyboardType { Default, EmailAddress, NumberPad, DecimalPad, PhonePad, URL };

// One line of editable text over a Qt line editor. Editing begins when it becomes first responder
// (by a tap or in code) and brings the keyboard up; the user's edits pass the delegate's
// should-change hook before they happen, then send EditingChanged. Return sends
// EditingDidEndOnExit, which ends editing when someone listens for it.
class TextField : public Control {
    Q_OBJECT
public:
    enum class BorderStyle { None, Line, RoundedRect };
    enum class ViewMode { Never, WhileEditing, UnlessEditing, Always };

    explicit TextField(QWidget* parent = nullptr);
    ~TextField() override;

    QString text() const;
    // Replaces the text without asking the delegate and without EditingChanged.
    void setText(const QString& text);
    QString placeholder() const;
    void setPlaceholder(const QString& placeholder);
    void setAttributedPlaceholder(const AttributedString& placeholder);
    const std::optional<AttributedString>& attributedPlaceholder() const { return attributedPlaceholder_; }
    QFont font() const;
    void setFont(const QFont& font);
    QColor textColor() const { return textColor_; }
    void setTextColor(const QColor& color);
    void setTextAlignment(Qt::Alignment alignment);
    bool isSecureTextEntry() const;
    void setSecureTextEntry(bool secure);
    ReturnKeyType returnKeyType() const { return returnKeyType_; }
    void setReturnKeyType(ReturnKeyType type) { returnKeyType_ = type; }
    KeyboardType keyboardType() const { return keyboardType_; }
    void setKeyboardType(KeyboardType type) { keyboardType_ = type; }
    void setBorderStyle(BorderStyle style);
    // Side views are shared widget handles (`sharedWidget`).
    void setLeftView(std::shared_ptr<View> view, ViewMode mode = ViewMode::Always);
    void setRightView(std::shared_ptr<View> view, ViewMode mode = ViewMode::Always);
    const std::shared_ptr<View>& leftView() const { return leftView_; }
    const std::shared_ptr<View>& rightView() const { return rightView_; }
    void setInputView(std::shared_ptr<View> view) { inputView_ = std::move(view); }
    void setInputAccessoryView(std::shared_ptr<View> view) { inputAccessoryView_ = std::move(view); }
    std::shared_ptr<View> inputView() const override { return inputView_; }
    std::shared_ptr<View> inputAccessoryView() const override { return inputAccessoryView_; }

    std::shared_ptr<TextFieldDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<TextFieldDelegate> delegate) { delegate_ = std::move(delegate); }
    bool isEditing() const { return editing_; }

    bool canBecomeFirstResponder() const override { return isEnabled(); }
    bool canResignFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool isTextInput() const override { return true; }

    // The geometry the layout asks for, in the field's own coordinates; subclasses move the text
    // and the side views by overriding them. The text rectangle leaves out the border margin and the
    // side views shown; the editing rectangle is where the text sits while editing (the same by
    // default); the right view sits at the right edge, centred vertically, at its own size.
    virtual QRectF textRectForBounds(const QRectF& bounds) const;
    virtual QRectF editingRectForBounds(const QRectF& bounds) const { return textRectForBounds(bounds); }
    virtual QRectF rightViewRectForBounds(const QRectF& bounds) const;
    // No width of its own; one line of the font with room around it.
    QSizeF intrinsicContentSize() const override;
    QSizeF sizeThatFits(const QSizeF& size) const override;

protected:
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;
    void layoutSubviews() override;
    void drawRect(QPainter& painter, const QRectF& rect) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool allows(const TextEdit& edit);
    void userEdited(const QString& text);
    void returnPressed();
    void applyPlaceholderColor();
    void updateSideViews();
    QRectF contentArea(const QRectF& bounds) const;
    QSizeF sideViewSize(const std::shared_ptr<View>& view, const QRectF& area) const;
    bool showsSideView(const std::shared_ptr<View>& view) const;

    QLineEdit* editor_;
    QString lastText_;
    bool preApproved_ = false;
    QColor textColor_ = Qt::black;
    std::optional<AttributedString> attributedPlaceholder_;
    ReturnKeyType returnKeyType_ = ReturnKeyType::Default;
    KeyboardType keyboardType_ = KeyboardType::Default;
    BorderStyle borderStyle_ = BorderStyle::None;
    std::shared_ptr<View> leftView_;
    std::shared_ptr<View> rightView_;
    ViewMode leftMode_ = ViewMode::Always;
    ViewMode rightMode_ = ViewMode::Always;
    std::shared_ptr<View> inputView_;
    std::shared_ptr<View> inputAccessoryView_;
    std::weak_ptr<TextFieldDelegate> delegate_;
    bool editing_ = false;
};

}  // namespace tovrin::ui
