#include "ui/alert_sound.h"

#include <dlfcn.h>

#include <QApplication>

#include <cstdint>

namespace brenvale {

namespace {

std::function<void(MessageKind)>& Sink() {
    static std::function<void(MessageKind)> sink;
    return sink;
}

// The event sound library of the desktop, when it is installed; not a build dependency.
class EventSounds {
public:
    EventSounds() {
        library_ = ::dlopen("libcanberra.so.0", RTLD_LAZY | RTLD_LOCAL);
        if (!library_) {
            return;
        }
        auto create = reinterpret_cast<int (*)(void**)>(::dlsym(library_, "ca_context_create"));
        play_ = reinterpret_cast<PlayFn>(::dlsym(library_, "ca_context_play"));
        if (!create || !play_ || create(&context_) != 0) {
            context_ = nullptr;
        }
    }
    EventSounds(const EventSounds&) = delete;
    EventSounds& operator=(const EventSounds&) = delete;

    // False when there is no desktop sound to play.
    bool play(const char* name) {
        return context_ && play_(context_, 0, "event.id", name, nullptr) == 0;
    }

private:
    using PlayFn = int (*)(void*, uint32_t, ...);
    void* library_ = nullptr;
    void* context_ = nullptr;
    PlayFn play_ = nullptr;
};

}  // namespace

const char* AlertSoundName(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
        case MessageKind::Error:
            return "dialog-warning";
        case MessageKind::Information:
            return "dialog-information";
        case MessageKind::Confirmation:
            return "dialog-question";
    }
    return nullptr;
}

void PlayAlertSound(MessageKind kind) {
    if (Sink()) {
        Sink()(kind);
        return;
    }
    static EventSounds sounds;
    const char* name = AlertSoundName(kind);
    if (!name || !sounds.play(name)) {
        QApplication::beep();
    }
}

void SetAlertSoundSink(std::function<void(MessageKind)> sink) {
    Sink() = std::move(sink);
}

}  // namespace brenvale
