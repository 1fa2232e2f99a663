#pragma once

#include "uikit/UIView.h"

#include <string>

class UIImageView;
class UILabel;

enum UITableViewCellStyle : int32_t {
    UITableViewCellStyleDefault = 0,
    UITableViewCellStyleValue1 = 1,
    UITableViewCellStyleValue2 = 2,
    UITableViewCellStyleSubtitle = 3,
};

enum UITableViewCellSeparatorStyle : int32_t {
    UITableViewCellSeparatorStyleNone = 0,
    UITableViewCellSeparatorStyleSingleLine = 1,
    UITableViewCellSeparatorStyleSingleLineEtched = 2,
};

enum UITableViewCellSelectionStyle : int32_t {
    UITableViewCellSelectionStyleNone = 0,
    UITableViewCellSelectionStyleBlue = 1,
    UITableViewCellSelectionStyleGray = 2,
    UITableViewCellSelectionStyleDefault = 3,
};

enum UITableViewCellAccessoryType : int32_t {
    UITableViewCellAccessoryNone = 0,
    UITableViewCellAccessoryDisclosureIndicator = 1,
    UITableViewCellAccessoryDetailDisclosureButton = 2,
    UITableViewCellAccessoryCheckmark = 3,
    UITableViewCellAccessoryDetailButton = 4,
};

enum UITableViewCellEditingStyle : int32_t {
    UITableViewCellEditingStyleNone = 0,
    UITableViewCellEditingStyleDelete = 1,
    UITableViewCellEditingStyleInsert = 2,
};

// One row of a table. Subviews go in contentView, which leaves room on the right for the
// accessory (a custom accessoryView wins over the accessory type). The default style has a text
// label; the subtitle and value styles add a detail label below or beside it. A table keeps
// cells with a reuse identifier for reuse and calls prepareForReuse before handing one out
// again. Main thread only.
class UITableViewCell : public UIView {
    VX_OBJECT(UITableViewCell, UIView)
public:
    explicit UITableViewCell(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UITableViewCell> init() { return initWithStyleReuseIdentifier(UITableViewCellStyleDefault, {}); }
    static Ref<UITableViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<UITableViewCell>(style, reuseIdentifier);
    }

    UITableViewCellStyle style() const { return m_style; }
    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }
    const Ref<UIView>& contentView() const { return m_contentView; }
    const Ref<UILabel>& textLabel() const { return m_textLabel; }
    // nullptr in the default style.
    const Ref<UILabel>& detailTextLabel() const { return m_detailTextLabel; }
    const Ref<UIImageView>& imageView() const { return m_imageView; }

    UITableViewCellAccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(UITableViewCellAccessoryType type)
    {
        m_accessoryType = type;
        setNeedsLayout();
    }
    const Ref<UIView>& accessoryView() const { return m_accessoryView; }
    void setAccessoryView(const Ref<UIView>& view);
    UITableViewCellAccessoryType editingAccessoryType() const { return m_editingAccessoryType; }
    void setEditingAccessoryType(UITableViewCellAccessoryType type) { m_editingAccessoryType = type; }
    const Ref<UIView>& backgroundView() const { return m_backgroundView; }
    void setBackgroundView(const Ref<UIView>& view);
    const Ref<UIView>& selectedBackgroundView() const { return m_selectedBackgroundView; }
    void setSelectedBackgroundView(const Ref<UIView>& view);

    UITableViewCellSelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(UITableViewCellSelectionStyle style) { m_selectionStyle = style; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { setSelectedAnimated(selected, false); }
    virtual void setSelectedAnimated(bool selected, bool animated);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted) { setHighlightedAnimated(highlighted, false); }
    virtual void setHighlightedAnimated(bool highlighted, bool animated);
    bool isEditing() const { return m_editing; }
    void setEditing(bool editing) { setEditingAnimated(editing, false); }
    virtual void setEditingAnimated(bool editing, bool animated);
    bool showsReorderControl() const { return m_showsReorderControl; }
    void setShowsReorderControl(bool v) { m_showsReorderControl = v; }
    int32_t indentationLevel() const { return m_indentationLevel; }
    void setIndentationLevel(int32_t level)
    {
        m_indentationLevel = level;
        setNeedsLayout();
    }

    // Called before a table hands the cell out again; resets selection and highlight.
    virtual void prepareForReuse();
    void layoutSubviews() override;

    // Set by a table when a registered class makes the cell.
    void setReuseIdentifier(const std::string& identifier) { m_reuseIdentifier = identifier; }

protected:
    template <typename T> static Ref<T> makeCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        auto cell = makeView<T>(CGRectMake(0, 0, 320, 44));
        cell->setUpCell(style, reuseIdentifier);
        return cell;
    }
    void setUpCell(UITableViewCellStyle style, const std::string& reuseIdentifier);

private:
    void updateSelectionAppearance();

    UITableViewCellStyle m_style { UITableViewCellStyleDefault };
    std::string m_reuseIdentifier;
    Ref<UIView> m_contentView;
    Ref<UILabel> m_textLabel;
    Ref<UILabel> m_detailTextLabel;
    Ref<UIImageView> m_imageView;
    Ref<UIView> m_accessoryView;
    Ref<UIView> m_backgroundView;
    Ref<UIView> m_selectedBackgroundView;
    UITableViewCellAccessoryType m_accessoryType { UITableViewCellAccessoryNone };
    UITableViewCellAccessoryType m_editingAccessoryType { UITableViewCellAccessoryNone };
    UITableViewCellSelectionStyle m_selectionStyle { UITableViewCellSelectionStyleBlue };
    int32_t m_indentationLevel { 0 };
    bool m_selected { false };
    bool m_highlighted { false };
    bool m_editing { false };
    bool m_showsReorderControl { false };
};
