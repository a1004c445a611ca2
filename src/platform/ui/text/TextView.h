#pragma once

#include <memory>

#include "platform/ui/text/TextEdit.h"
#include "platform/ui/views/Geometry.h"
#include "platform/ui/views/View.h"

class QTextEdit;

namespace tovrin::ui {

class TextView;

class TextViewDelegate {
public:
    virtual ~TextViewDelegate() = default;
    virtual bool shouldBeginEditing(TextView& textView) { return true; }
    virtual void didBeginEditing(TextView& textView) {}
    virtual bool shouldEndEditing(TextView& textView) { return true; }
    virtual void didEndEditing(TextView& textView) {}
    // Asked before an edit by the user takes effect; false refuses it whole.
    virtual bool shouldChangeText(TextView& textView, const TextEdit& edit) { return true; }
    virtual void didChange(TextView& textView) {}
};

// Several lines of editable plain text over a Qt text editor; scrolls inside itself. Edits by the
// user pass the delegate's should-change hook before they happen.
class TextView : public View {
    Q_OBJECT
public:
    explicit TextView(QWidget* parent = nullptr);
    ~TextView() override;

    QString text() const;
    // Replaces the text without asking the delegate.
    void setText(const QString& text);
    QFont font() const;
    void setFont(const QFont& font);
    void setTextColor(const QColor& color);
    const EdgeInsets& textContainerInset() const { return textContainerInset_; }
    void setTextContainerInset(const EdgeInsets& insets);
    bool isEditable() const { return editable_; }
    void setEditable(bool editable);
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled);
    // The size of the laid-out text with the insets.
    QSizeF contentSize() const;
    QPointF contentOffset() const;
    void setContentOffset(const QPointF& offset);
    void setInputAccessoryView(std::shared_ptr<View> view) { inputAccessoryView_ = std::move(view); }
    void setInputView(std::shared_ptr<View> view) { inputView_ = std::move(view); }
    std::shared_ptr<View> inputView() const override { return inputView_; }
    std::shared_ptr<View> inputAccessoryView() const override { return inputAccessoryView_; }

    std::shared_ptr<TextViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<TextViewDelegate> delegate) { delegate_ = std::move(delegate); }

    bool canBecomeFirstResponder() const override { return editable_ && isEnabled(); }
    bool canResignFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool isTextInput() const override { return true; }
    QSizeF sizeThatFits(const QSizeF& size) const override;

protected:
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;
    void layoutSubviews() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool allows(const TextEdit& edit);
    void contentsChanged();

    QTextEdit* editor_;
    QString lastText_;
    bool preApproved_ = false;
    bool settingText_ = false;
    EdgeInsets textContainerInset_{8, 0, 8, 0};
    bool editable_ = true;
    bool scrollEnabled_ = true;
    std::shared_ptr<View> inputView_;
    std::shared_ptr<View> inputAccessoryView_;
    std::weak_ptr<TextViewDelegate> delegate_;
};

}  // namespace tovrin::ui
