#pragma once

#include "graphics/UIGeometry.h"
#include "grid/LGridCell.h"

class UIColor;
class UIFont;
class UIScrollView;

// What the grid's text cells share: a text input whose colour, font and alignment follow the
// resolved style unless someone outside the engine set them on the input directly (the
// useOwn... flags, kept by observing the input), a content inset, and the editing life cycle.
// An edit event asks the delegate, makes the cell the grid's primary cell and focuses the input;
// while it is edited the input sits in a temporary scroll view over the cell; when it resigns,
// it returns to the cell and the delegate hears latticeGrid:didFinishEditingAutoCell:.
//
// This class is abstract: its input and text are a fatal error; subclasses supply them and the
// input's property accessors. Main thread only.
class LGridTextInputCell : public LGridCell {
    VX_OBJECT(LGridTextInputCell, LGridCell)
public:
    explicit LGridTextInputCell(Passkey key)
        : LGridCell(key)
    {
    }
    ~LGridTextInputCell() override;

    virtual Ref<UIView> textInput() const;
    virtual std::string text() const;
    virtual void setText(const std::string& text);

    void setTextColorPrivately(const Ref<UIColor>& color);
    void setFontPrivately(const Ref<UIFont>& font);
    void setTextAlignmentPrivately(int32_t alignment);
    bool useOwnTextColor() const { return m_useOwnTextColour; }
    bool useOwnFont() const { return m_useOwnFont; }
    bool useOwnTextAlignment() const { return m_useOwnTextAlignment; }

    UIEdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(UIEdgeInsets inset) { m_contentInset = inset; }
    float topIndentForTextView() const { return m_contentInset.top; }
    void setTopIndentForTextView(float v) { m_contentInset.top = v; }
    float leftIndentForTextView() const { return m_contentInset.left; }
    void setLeftIndentForTextView(float v) { m_contentInset.left = v; }
    float bottomIndentForTextView() const { return m_contentInset.bottom; }
    void setBottomIndentForTextView(float v) { m_contentInset.bottom = v; }
    float rightIndentForTextView() const { return m_contentInset.right; }
    void setRightIndentForTextView(float v) { m_contentInset.right = v; }

    Ref<LGridCellStyle> currentStyle() const override;
    void applyStyle(const Ref<LGridCellStyle>& style) override;
    void recordDeselectedStyle() override;
    void setFrame(CGRect frame) override;
    void setTextInputFrame(CGRect rect);
    void setSelectedAnimatedWithSelectedStyleNeedsDelegateCallBacksFor(
        bool selected, bool animated, const Ref<LGridCellStyle>& style, int32_t level) override;
    void resetForReuse() override;

    // Editing.
    void respondToEditEvent() override;
    bool textInputShouldBeginEditing(const Ref<UIView>& input);
    virtual void textInputDidEndEditing(const Ref<UIView>& input);
    void commitChangesToDelegate();
    virtual void prepareToAcceptEditEvents(bool accept);
    // The scroll view holding the input while it is edited; nullptr otherwise.
    const Ref<UIScrollView>& editingScrollView() const { return m_editingScrollView; }

    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;

protected:
    // Makes the cell with the shared inset of 5 points on every side.
    void initialiseTextInputCell(const std::string& reuseIdentifier);
    virtual void setupTextInput(const Ref<UIView>& input);
    virtual void addObserversTo(const Ref<UIView>& input);
    virtual void removeObserversFrom(const Ref<UIView>& input);

    // The input's look, read and written by the subclass that owns the input.
    virtual Ref<UIColor> inputTextColor() const { return nullptr; }
    virtual void setInputTextColor(const Ref<UIColor>&) { }
    virtual Ref<UIFont> inputFont() const { return nullptr; }
    virtual void setInputFont(const Ref<UIFont>&) { }
    virtual int32_t inputTextAlignment() const { return 0; }
    virtual void setInputTextAlignment(int32_t) { }

private:
    bool m_useOwnTextColour { false };
    bool m_useOwnTextAlignment { false };
    bool m_useOwnFont { false };
    UIEdgeInsets m_contentInset { 5, 5, 5, 5 };
    Ref<UIScrollView> m_editingScrollView;
};
