#include "gamepad/sdl/sdl_reader.h"

#include <SDL.h>

#include <algorithm>

#include "gamepad/stick_drive.h"

namespace orbus::gamepad {

namespace {

// SDL's axes and buttons in the order of ours.
constexpr SDL_GameControllerAxis kAxisOf[kAxes] = {
    SDL_CONTROLLER_AXIS_LEFTX,  SDL_CONTROLLER_AXIS_LEFTY,       SDL_CONTROLLER_AXIS_RIGHTX,
    SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT};
constexpr SDL_GameControllerButton kButtonOf[kButtons] = {
    SDL_CONTROLLER_BUTTON_A,           SDL_CONTROLLER_BUTTON_B,          SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,           SDL_CONTROLLER_BUTTON_BACK,       SDL_CONTROLLER_BUTTON_GUIDE,
    SDL_CONTROLLER_BUTTON_START,       SDL_CONTROLLER_BUTTON_LEFTSTICK,  SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,   SDL_CONTROLLER_BUTTON_DPAD_LEFT,  SDL_CONTROLLER_BUTTON_DPAD_RIGHT};

int axisIndex(int sdlAxis) {
    const auto* it = std::find(std::begin(kAxisOf), std::end(kAxisOf), sdlAxis);
    return it == std::end(kAxisOf) ? -1 : static_cast<int>(it - std::begin(kAxisOf));
}

int buttonIndex(int sdlButton) {
    const auto* it = std::find(std::begin(kButtonOf), std::end(kButtonOf), sdlButton);
    return it == std::end(kButtonOf) ? -1 : static_cast<int>(it - std::begin(kButtonOf));
}

bool isTrigger(int index) {
    return index == static_cast<int>(Axis::LeftTrigger) || index == static_cast<int>(Axis::RightTrigger);
}

}  // namespace

double SdlReader::stickValue(int raw) { return std::clamp(raw / 32767.0, -1.0, 1.0); }

double SdlReader::triggerValue(int raw) { return std::clamp(raw / 32767.0, 0.0, 1.0); }

SdlReader::SdlReader(StickDrive& drive) : drive_(drive) {
    // The panel need not have the keyboard to be driven; and the program's
    // own handling of Ctrl+C and termination stays its own.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        error_ = std::string("Game controllers cannot be read: ") + SDL_GetError();
        return;
    }
    ready_ = true;
}

SdlReader::~SdlReader() {
    if (!ready_) return;
    for (auto& [instance, gc] : open_) SDL_GameControllerClose(static_cast<SDL_GameController*>(gc));
    open_.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void SdlReader::opened(int deviceIndex) {
    SDL_GameController* gc = SDL_GameControllerOpen(deviceIndex);
    if (!gc) return;
    const int instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(gc));
    if (open_.count(instance)) {
        SDL_GameControllerClose(gc);
        return;
    }
    open_[instance] = gc;
    const char* name = SDL_GameControllerName(gc);
    drive_.deviceAdded(instance, name ? name : "Game controller");
    // Where its sticks and buttons stand as it comes.
    for (int a = 0; a < kAxes; ++a) {
        const int raw = SDL_GameControllerGetAxis(gc, kAxisOf[a]);
        drive_.axis(instance, static_cast<Axis>(a), isTrigger(a) ? triggerValue(raw) : stickValue(raw));
    }
    for (int b = 0; b < kButtons; ++b) {
        if (SDL_GameControllerGetButton(gc, kButtonOf[b])) drive_.button(instance, static_cast<Button>(b), true);
    }
}

void SdlReader::closed(int instance) {
    const auto it = open_.find(instance);
    if (it == open_.end()) return;
    SDL_GameControllerClose(static_cast<SDL_GameController*>(it->second));
    open_.erase(it);
    drive_.deviceRemoved(instance);
}

void SdlReader::poll() {
    if (!ready_) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED: opened(e.cdevice.which); break;
        case SDL_CONTROLLERDEVICEREMOVED: closed(e.cdevice.which); break;
        case SDL_CONTROLLERAXISMOTION: {
            const int a = axisIndex(e.caxis.axis);
            if (a < 0 || !open_.count(e.caxis.which)) break;
            drive_.axis(e.caxis.which, static_cast<Axis>(a), isTrigger(a) ? triggerValue(e.caxis.value)
                                                                          : stickValue(e.caxis.value));
            break;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const int b = buttonIndex(e.cbutton.button);
            if (b < 0 || !open_.count(e.cbutton.which)) break;
            drive_.button(e.cbutton.which, static_cast<Button>(b), e.type == SDL_CONTROLLERBUTTONDOWN);
            break;
        }
        default: break;
        }
    }
    drive_.tick();
}

}  // namespace orbus::gamepad
