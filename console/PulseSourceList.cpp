// SPDX-License-Identifier: GPL-3.0-or-later
// The sound inputs PulseAudio offers (its sources), asked through its context API: the simple
// API that records cannot list them.
#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>

#include <memory>
#include <string>
#include <vector>

#include "SoundInput.h"

namespace brisalto {

namespace {

[[noreturn]] void Fail(int error) {
    throw SoundInputError(std::string("no sound server to list the sound inputs of: ") +
                          pa_strerror(error));
}

// One connection to the sound server, with the main loop that drives it, let go of on every way
// out.
class PulseConnection {
public:
    PulseConnection() : loop_(pa_mainloop_new()) {
        if (!loop_) Fail(PA_ERR_INTERNAL);
        context_.reset(pa_context_new(pa_mainloop_get_api(loop_.get()), "brisalto-tape"));
        if (!context_) Fail(PA_ERR_INTERNAL);
        if (pa_context_connect(context_.get(), nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
            Fail(pa_context_errno(context_.get()));
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(context_.get());
            if (state == PA_CONTEXT_READY) break;
            if (!PA_CONTEXT_IS_GOOD(state)) Fail(pa_context_errno(context_.get()));
            Iterate();
        }
    }

    pa_context* Context() const noexcept { return context_.get(); }

    // Runs the loop until the operation is done; the callbacks it calls fill in what it asks.
    void Finish(pa_operation* started) {
        if (started == nullptr) Fail(pa_context_errno(context_.get()));
        const std::unique_ptr<pa_operation, UnrefOperation> operation(started);
        while (pa_operation_get_state(operation.get()) == PA_OPERATION_RUNNING) Iterate();
    }

private:
    void Iterate() {
        if (pa_mainloop_iterate(loop_.get(), 1, nullptr) < 0) Fail(PA_ERR_CONNECTIONTERMINATED);
    }

    struct FreeLoop {
        void operator()(pa_mainloop* loop) const noexcept { pa_mainloop_free(loop); }
    };
    struct EndContext {
        void operator()(pa_context* context) const noexcept {
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
    };
    struct UnrefOperation {
        void operator()(pa_operation* operation) const noexcept { pa_operation_unref(operation); }
    };
    // The context goes before the loop it runs on.
    std::unique_ptr<pa_mainloop, FreeLoop> loop_;
    std::unique_ptr<pa_context, EndContext> context_;
};

}  // namespace

std::vector<SoundInputDevice> ListSoundInputs() {
    PulseConnection connection;
    std::string defaultName;
    connection.Finish(pa_context_get_server_info(
        connection.Context(),
        [](pa_context*, const pa_server_info* info, void* name) {
            if (info != nullptr && info->default_source_name != nullptr)
                *static_cast<std::string*>(name) = info->default_source_name;
        },
        &defaultName));
    std::vector<SoundInputDevice> devices;
    connection.Finish(pa_context_get_source_info_list(
        connection.Context(),
        [](pa_context*, const pa_source_info* info, int last, void* list) {
            if (last != 0 || info == nullptr) return;
            static_cast<std::vector<SoundInputDevice>*>(list)->push_back(
                {info->name, info->description != nullptr ? info->description : "", false});
        },
        &devices));
    for (SoundInputDevice& device : devices) device.isDefault = device.name == defaultName;
    return devices;
}

}  // namespace brisalto
