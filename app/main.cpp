#include "KESTAppDelegate.h"
#include "UIApplication.h"

// The process entry: runs the application's main loop with KESTAppDelegate as its delegate.
int main(int argc, char** argv)
{
    std::string delegateClassName = NSStringFromClass(KESTAppDelegate::classObject());
    return UIApplicationMain(argc, argv, nullptr, delegateClassName.c_str());
}
