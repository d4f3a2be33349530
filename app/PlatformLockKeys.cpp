// The lock keys' state as the platform tells it. Xlib's headers come last: their macros
// (KeyPress, None, Bool...) would break Qt's names.
#include "app/LockKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>

#ifdef TELVANE_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {

class UnknownLockKeys : public ILockKeySource {
public:
    LockKeyState Read() override { return {}; }
};

#ifdef TELVANE_HAVE_X11
// The server's keyboard indicators by name: the lit LEDs, whatever modifier each key maps to.
// The indices are looked up once; each read is one request for all of them.
class XkbIndicators : public ILockKeySource {
public:
    explicit XkbIndicators(Display* x11)
        : display(x11), caps(Index("Caps Lock")), num(Index("Num Lock")),
          scroll(Index("Scroll Lock")) {}

    LockKeyState Read() override {
        unsigned int lit = 0;
        if (XkbGetIndicatorState(display, XkbUseCoreKbd, &lit) != Success)
            return {};
        return {Lit(caps, lit), Lit(num, lit), Lit(scroll, lit)};
    }

private:
    std::optional<int> Index(const char* name) const {
        const Atom atom = XInternAtom(display, name, True);
        int index = -1;
        if (atom == None ||
            !XkbGetNamedIndicator(display, atom, &index, nullptr, nullptr, nullptr) || index < 0 ||
            index >= XkbNumIndicators)
            return std::nullopt;
        return index;
    }

    static std::optional<bool> Lit(std::optional<int> index, unsigned int lit) {
        if (!index)
            return std::nullopt;
        return (lit & (1U << static_cast<unsigned int>(*index))) != 0;
    }

    Display* display;
    std::optional<int> caps;
    std::optional<int> num;
    std::optional<int> scroll;
};
#endif

} // namespace

std::unique_ptr<ILockKeySource> NewPlatformLockKeySource() {
#ifdef TELVANE_HAVE_X11
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (gui != nullptr && QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto* x11 = gui->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 != nullptr && x11->display() != nullptr)
            return std::make_unique<XkbIndicators>(x11->display());
    }
#endif
    return std::make_unique<UnknownLockKeys>();
}
