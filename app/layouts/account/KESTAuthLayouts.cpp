#include "app/view-controllers/account/KESTAuthCreateAccountView.h"
#include "app/view-controllers/account/KESTAuthForgottenPasswordView.h"
#include "app/view-controllers/account/KESTAuthLoginView.h"
#include "app/view-controllers/account/KESTAuthMenuView.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"
#include "uikit/UITextField.h"

// The four account screens: a column of a heading, a description, the form's fields (tagged 1,
// 2, ... in the order they are filled in) and the buttons, on the grouped background.
namespace {

constexpr CGFloat kWidth = 320;
constexpr CGFloat kMargin = 20;
// The screens open under a navigation bar (and the status bar above it).
constexpr CGFloat kTop = 64;

Ref<UIView> pane()
{
    auto view = UIView::initWithFrame(CGRectMake(0, 0, kWidth, 480));
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->setBackgroundColor(UIColor::groupTableViewBackgroundColor());
    return view;
}

Ref<UILabel> label(const Ref<UIView>& parent, CGFloat y, CGFloat height, const Ref<UIFont>& font)
{
    auto label = UILabel::initWithFrame(CGRectMake(kMargin, y, kWidth - 2 * kMargin, height));
    label->setFont(font);
    label->setNumberOfLines(0);
    label->setTextColor(UIColor::darkGrayColor());
    label->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    parent->addSubview(label);
    return label;
}

Ref<UITextField> field(const Ref<UIView>& parent, CGFloat y, int32_t tag, const std::string& placeholder, bool secure,
    UITextFieldDelegate* delegate, const Ref<NSObject>& owner)
{
    auto field = UITextField::initWithFrame(CGRectMake(kMargin, y, kWidth - 2 * kMargin, 36));
    field->setBorderStyle(UITextBorderStyleRoundedRect);
    field->setBackgroundColor(UIColor::whiteColor());
    field->setPlaceholder(placeholder);
    field->setSecureTextEntry(secure);
    field->setTag(tag);
    field->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    if (delegate)
        field->setDelegate(delegate, owner);
    parent->addSubview(field);
    return field;
}

template <typename T>
Ref<UIButton> button(const Ref<UIView>& parent, CGFloat y, const Ref<T>& target,
    void (T::*action)(const Ref<NSObject>&), const std::string& actionName)
{
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    button->setFrame(CGRectMake(kMargin, y, kWidth - 2 * kMargin, 44));
    button->setBackgroundColor(UIColor::whiteColor());
    button->layer()->setCornerRadius(6);
    button->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    if (target)
        button->addTarget(target, action, actionName, UIControlEventTouchUpInside);
    parent->addSubview(button);
    return button;
}

std::vector<Value> buildMenu(const Ref<NSObject>& owner, const Value&)
{
    auto menu = std::dynamic_pointer_cast<KESTAuthMenuView>(owner);
    auto loggedOut = pane();
    auto loggedIn = pane();
    auto login = button(loggedOut, kTop + 30, menu, &KESTAuthMenuView::pressedLogin, "pressedLogin:");
    auto create
        = button(loggedOut, kTop + 84, menu, &KESTAuthMenuView::pressedCreateNewAccount, "pressedCreateNewAccount:");
    auto forgotten
        = button(loggedOut, kTop + 138, menu, &KESTAuthMenuView::pressedForgottenPassword, "pressedForgottenPassword:");
    auto loggedInAs = label(loggedIn, kTop + 30, 44, UIFont::systemFontOfSize(16));
    auto logout = button(loggedIn, kTop + 84, menu, &KESTAuthMenuView::pressedLogout, "pressedLogout:");
    if (menu) {
        menu->loginButton = login;
        menu->createAccountButton = create;
        menu->forgottenPasswordButton = forgotten;
        menu->logoutButton = logout;
        menu->loggedInAsLabel = loggedInAs;
        menu->loggedOutView = loggedOut;
        menu->loggedInView = loggedIn;
        menu->setView(loggedOut);
    }
    return { Value(loggedOut), Value(loggedIn) };
}

std::vector<Value> buildLogin(const Ref<NSObject>& owner, const Value&)
{
    auto screen = std::dynamic_pointer_cast<KESTAuthLoginView>(owner);
    auto view = pane();
    auto heading = label(view, kTop + 20, 24, UIFont::boldSystemFontOfSize(18));
    auto description = label(view, kTop + 48, 40, UIFont::systemFontOfSize(13));
    auto email = field(view, kTop + 100, 1, "Email", false, screen.get(), owner);
    email->setKeyboardType(UIKeyboardTypeEmailAddress);
    auto password = field(view, kTop + 144, 2, "Password", true, screen.get(), owner);
    auto login = button(view, kTop + 196, screen, &KESTAuthLoginView::pressedLoginButton, "pressedLoginButton:");
    auto forgotten
        = button(view, kTop + 250, screen, &KESTAuthLoginView::pressedForgottenPassword, "pressedForgottenPassword:");
    if (screen) {
        screen->loginLabel = heading;
        screen->loginDescriptionLabel = description;
        screen->emailTextField = email;
        screen->passwordTextField = password;
        screen->loginButton = login;
        screen->forgottenPasswordButton = forgotten;
        screen->setView(view);
    }
    return { Value(view) };
}

std::vector<Value> buildCreateAccount(const Ref<NSObject>& owner, const Value&)
{
    auto screen = std::dynamic_pointer_cast<KESTAuthCreateAccountView>(owner);
    auto view = pane();
    auto heading = label(view, kTop + 20, 24, UIFont::boldSystemFontOfSize(18));
    auto description = label(view, kTop + 48, 40, UIFont::systemFontOfSize(13));
    auto email = field(view, kTop + 100, 1, "Email", false, screen.get(), owner);
    email->setKeyboardType(UIKeyboardTypeEmailAddress);
    auto password = field(view, kTop + 144, 2, "Password", true, screen.get(), owner);
    auto create
        = button(view, kTop + 196, screen, &KESTAuthCreateAccountView::pressedCreateAccount, "pressedCreateAccount:");
    if (screen) {
        screen->createAccountLabel = heading;
        screen->createAccountDescriptionLabel = description;
        screen->emailTextField = email;
        screen->passwordTextField = password;
        screen->createAccountButton = create;
        screen->setView(view);
    }
    return { Value(view) };
}

std::vector<Value> buildForgottenPassword(const Ref<NSObject>& owner, const Value&)
{
    auto screen = std::dynamic_pointer_cast<KESTAuthForgottenPasswordView>(owner);
    auto view = pane();
    auto heading = label(view, kTop + 20, 24, UIFont::boldSystemFontOfSize(18));
    auto description = label(view, kTop + 48, 64, UIFont::systemFontOfSize(13));
    auto email = field(view, kTop + 124, 1, "Email", false, screen.get(), owner);
    email->setKeyboardType(UIKeyboardTypeEmailAddress);
    auto reset = button(
        view, 176, screen, &KESTAuthForgottenPasswordView::pressedForgottenPassword, "pressedForgottenPassword:");
    if (screen) {
        screen->forgottenPasswordLabel = heading;
        screen->forgottenPasswordDescriptionLabel = description;
        screen->emailTextField = email;
        screen->forgottenPasswordButton = reset;
        screen->setView(view);
    }
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTAuthMenuView", buildMenu);
VX_REGISTER_LAYOUT("KESTAuthLoginView", buildLogin);
VX_REGISTER_LAYOUT("KESTAuthCreateAccountView", buildCreateAccount);
VX_REGISTER_LAYOUT("KESTAuthForgottenPasswordView", buildForgottenPassword);
