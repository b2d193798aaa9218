// The kinds of controls the program's windows use (the timer and the menus, which have no window of
// their own: timer.h, menu.h). Setting the text a box holds raises nothing, a new text raises Change;
// each class tells what raises its Click. A notification raised inside a handler runs at once, nested.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/menu.h"
#include "forms/timer.h"

namespace tivora::forms {

class CommandButton : public Control {
public:
    static constexpr Kind classKind = Kind::CommandButton;
    CommandButton(Form& form, std::string name, Rect rect, std::string caption);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    Font font;

    Handler onClick;
    void click();  // pressed by the user

private:
    std::string caption_;
};

class TextBox : public Control {
public:
    static constexpr Kind classKind = Kind::TextBox;
    // maxLength 0: no limit.
    TextBox(Form& form, std::string name, Rect rect, std::string text, int maxLength = 0);

    const std::string& text() const { return text_; }
    void setText(std::string text);

    // The most characters the user can type; code may set longer texts.
    int maxLength() const { return maxLength_; }
    // The selection, in characters.
    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    void setSelStart(int start);
    void setSelLength(int length);
    // The window layer reports where the user has put the caret; no notification.
    void selectionMoved(int start, int length);

    // What a user's typing does: replaces the selection, refused past the max length.
    void type(std::string_view typed);

    bool multiLine = false;
    bool verticalScrollBar = false;
    bool locked = false;
    Font font;

    Handler onChange;
    Handler onClick;
    void click();  // a mouse click into the box

    std::string property(std::string_view name) const override;
    void setProperty(std::string_view name, const std::string& value) override;

private:
    void clampSelection();

    std::string text_;
    int maxLength_;
    int selStart_ = 0;
    int selLength_ = 0;
};

// A combo box with an edit part and a drop-down list.
class ComboBox : public Control {
public:
    static constexpr Kind classKind = Kind::ComboBox;
    ComboBox(Form& form, std::string name, Rect rect, std::string text, std::vector<std::string> list);

    const std::string& text() const { return text_; }
    void setText(std::string text);

    const std::vector<std::string>& list() const { return list_; }
    // The index of the picked entry, -1 when the text is not a pick.
    int listIndex() const { return listIndex_; }
    // A pick from the list (by the user or by code): the text becomes the entry, and only
    // Click is raised. An index outside the list is an invalid property value (380).
    void setListIndex(int index);

    Handler onChange;
    Handler onClick;

    std::string property(std::string_view name) const override;
    void setProperty(std::string_view name, const std::string& value) override;

private:
    std::string text_;
    std::vector<std::string> list_;
    int listIndex_ = -1;
};

// Option buttons of one window form one group: selecting one deselects the others.
class OptionButton : public Control {
public:
    static constexpr Kind classKind = Kind::OptionButton;
    OptionButton(Form& form, std::string name, Rect rect, std::string caption, bool value);

    const std::string& caption() const { return caption_; }
    bool value() const { return value_; }
    // Selecting raises Click when the button was not selected; deselecting raises nothing.
    void setValue(bool value);

    Handler onClick;
    void click() { setValue(true); }  // chosen by the user

    std::string property(std::string_view name) const override;
    void setProperty(std::string_view name, const std::string& value) override;

private:
    friend class Form;
    void deselectQuietly();

    std::string caption_;
    bool value_;
};

class CheckBox : public Control {
public:
    static constexpr Kind classKind = Kind::CheckBox;
    static constexpr int Unchecked = 0;
    static constexpr int Checked = 1;
    static constexpr int Grayed = 2;

    CheckBox(Form& form, std::string name, Rect rect, std::string caption, int value = Unchecked);

    const std::string& caption() const { return caption_; }
    int value() const { return value_; }
    // 0, 1 or 2; any other value is an invalid property value (380). A change raises Click.
    void setValue(int value);

    Handler onClick;
    void click();  // clicked by the user: ticks an unticked box, unticks any other

    std::string property(std::string_view name) const override;
    void setProperty(std::string_view name, const std::string& value) override;

private:
    std::string caption_;
    int value_;
};

class Label : public Control {
public:
    static constexpr Kind classKind = Kind::Label;
    Label(Form& form, std::string name, Rect rect, std::string caption);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    // A solid background of its own; none: the window's.
    std::optional<Color> backColor;
    // The input this label names for screen readers (as a caption names a button); the window
    // layer puts the label just before it in the windows' order, where the system looks.
    Control* labelFor = nullptr;

    // Repaints at once, so that a change shows before the handler goes on.
    void refresh() { notify(Change::Repaint); }

private:
    std::string caption_;
};

// A drawing surface that keeps its image.
class PictureBox : public Control {
public:
    static constexpr Kind classKind = Kind::PictureBox;
    PictureBox(Form& form, std::string name, Rect rect);

    Color backColor = rgb(255, 255, 255);
    Color foreColor = windowTextColor;
    Font font;

    // The surface's size in pixels; set in the window's coordinate unit.
    int widthPixels() const { return widthPixels_; }
    int heightPixels() const { return heightPixels_; }
    void setSize(double width, double height);
    // Clears the image to the background colour.
    void Cls() { notify(Change::Clear); }
    std::uintptr_t hDC() { return view() ? view()->surfaceDeviceContext(*this) : 0; }
    std::uintptr_t Image() { return view() ? view()->surfaceImage(*this) : 0; }
    // The height of one line of text in the picture's font, in pixels: text drawn with word breaks
    // steps down by this much from one line to the next.
    int lineHeightPixels() { return view() ? view()->surfaceLineHeight(*this) : 0; }

private:
    int widthPixels_;
    int heightPixels_;
};

}  // namespace tivora::forms
