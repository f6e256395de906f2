#pragma once

#include <utility>

// Runs one statement of a stretch where a failure skips that statement only.
template <class Statement> void ResumeNext(Statement&& statement) noexcept {
    try {
        std::forward<Statement>(statement)();
    } catch (...) {
    }
}
