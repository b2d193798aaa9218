// Menus and their entries: the tray icon's popup menu.
#pragma once

#include <string>
#include <vector>

#include "forms/control.h"

namespace tivora::forms {

// A menu or a menu entry; a menu's entries are menus themselves.
class Menu : public Control {
public:
    static constexpr Kind classKind = Kind::Menu;
    Menu(Form& form, std::string name, std::string caption, Menu* parent = nullptr);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    Menu* parent() const { return parent_; }
    const std::vector<Menu*>& entries() const { return entries_; }

    Handler onClick;
    void click();  // chosen by the user

    bool canTakeFocus() const override { return false; }

private:
    std::string caption_;
    Menu* parent_;
    std::vector<Menu*> entries_;
};

}  // namespace tivora::forms
