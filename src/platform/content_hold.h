#pragma once

#include <QMutexLocker>

#include <memory>

namespace sw {

// A token for cached contents that stay trusted while someone holds them: state has a `mutex` and
// a `holds` count; when the last token goes, release(state) drops what was trusted.
template <typename State, typename Release>
std::shared_ptr<void> holdContentsOf(const std::shared_ptr<State>& state, Release release) {
    {
        QMutexLocker lock(&state->mutex);
        ++state->holds;
    }
    return std::shared_ptr<void>(new char, [state, release](void* token) {
        delete static_cast<char*>(token);
        QMutexLocker lock(&state->mutex);
        if (--state->holds == 0)
            release(*state);
    });
}

} // namespace sw
