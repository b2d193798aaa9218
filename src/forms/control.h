// The window layer's model of a control: name, kind, Tag, enabled, visible, and its
// "text" or "Value" property reachable by name. A realised control (forms/win32) listens
// through ControlView; the model itself knows nothing about windows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tivora::forms {

class Form;
class Control;

// Positions and sizes are in twips (1/1440 inch).
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Font {
    std::string name;  // empty: the window's default font
    double points = 0;
    int weight = 400;
    int charset = 1;  // DEFAULT_CHARSET; 204 is Cyrillic

    bool isDefault() const { return name.empty(); }
    bool operator==(const Font&) const = default;
};

// 0x00BBGGRR, as Windows keeps colours.
using Color = std::uint32_t;
constexpr Color rgb(int r, int g, int b) {
    return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
// A system colour: the high bit set, the low byte the colour index (8: the window text).
constexpr Color systemColor(int index) { return 0x80000000u | static_cast<Color>(index); }
inline constexpr Color windowTextColor = systemColor(8);
inline constexpr Color buttonFaceColor = systemColor(15);

using Handler = std::function<void()>;

// What changed in a model, for the view that mirrors it.
enum class Change {
    Text,
    Caption,
    Value,
    Enabled,
    Visible,
    Selection,
    List,
    Focus,
    Repaint,
    Interval,
    Restart,
    Size,
    Clear,
};

class ControlView {
public:
    virtual ~ControlView() = default;
    virtual void controlChanged(Control& control, Change what) = 0;
    // A picture box's drawing surface, which keeps its image: its device context and image
    // handles, as numbers (0 where there is none).
    virtual std::uintptr_t surfaceDeviceContext(Control&) { return 0; }
    virtual std::uintptr_t surfaceImage(Control&) { return 0; }
    // The height of a line of text in the surface's font, in pixels (0 where there is none).
    virtual int surfaceLineHeight(Control&) { return 0; }
};

class Control {
public:
    // The kinds of controls there are (controls.h); each class gives its own as classKind.
    enum class Kind {
        CommandButton,
        TextBox,
        ComboBox,
        OptionButton,
        CheckBox,
        Label,
        PictureBox,
        Timer,
        Menu
    };

    Control(Form& form, std::string name, Kind kind, Rect rect);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Kind kind() const { return kind_; }
    // The control as the class of its kind (as<TextBox>()), null when it is of another kind.
    template <class T>
    T* as() {
        return kind_ == T::classKind ? static_cast<T*>(this) : nullptr;
    }
    template <class T>
    const T* as() const {
        return kind_ == T::classKind ? static_cast<const T*>(this) : nullptr;
    }
    Form& form() const { return form_; }
    const Rect& rect() const { return rect_; }
    // How the control follows a window that the screen makes smaller than designed: by default
    // it keeps its place and size; it may instead keep its distance from the window's right or
    // bottom edge (Move), or stretch so that its own right or bottom edge does (Stretch).
    enum class Follow { None, Move, Stretch };
    Follow followRight = Follow::None;
    Follow followBottom = Follow::None;

    // What a screen reader announces for a control that has no caption or label of its own
    // ("Громкость"); empty: what the system finds itself. Nothing of it shows on the screen.
    std::string accessibleName;

    const std::string& tag() const { return tag_; }
    void setTag(std::string tag) { tag_ = std::move(tag); }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool visible() const { return visible_; }
    void setVisible(bool visible);

    // Gives the control the keyboard focus; one that cannot take it (hidden, disabled, or on a
    // hidden or disabled window) is an invalid call (5).
    void setFocus();
    virtual bool canTakeFocus() const;

    // The control's "text" or "Value" property by name, letter case ignored; a control without
    // it does not support the property (438). Setting converts the text as the property needs.
    virtual std::string property(std::string_view name) const;
    virtual void setProperty(std::string_view name, const std::string& value);

    void setView(ControlView* view) { view_ = view; }
    ControlView* view() const { return view_; }

protected:
    void notify(Change what);
    static void raise(const Handler& handler) {
        if (handler) {
            handler();
        }
    }
    [[noreturn]] static void propertyNotSupported();

private:
    Form& form_;
    std::string name_;
    Kind kind_;
    Rect rect_;
    std::string tag_;
    bool enabled_ = true;
    bool visible_ = true;
    ControlView* view_ = nullptr;
};

bool propertyNameIs(std::string_view name, std::string_view expected);

}  // namespace tivora::forms
