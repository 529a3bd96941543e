#pragma once

#include <QVariantMap>

#include <optional>

class InstallationState;

// Part of the session kept while the application is in the background, and put back when it
// returns.
class FocusSnapshotModel {
public:
    // Replaces the saved values with the session's current ones.
    void capture(const InstallationState& state);
    // Puts the saved values back; returns whether it did. Nothing is restored while an
    // installation runs, nor when the session has meanwhile moved on to a later step, nor onto a
    // step whose arrival starts work (the installation run, the service wait).
    bool restore(InstallationState& state) const;

    const std::optional<QVariantMap>& savedState() const { return m_savedState; }
    void setSavedState(std::optional<QVariantMap> savedState) {
        m_savedState = std::move(savedState);
    }

private:
    std::optional<QVariantMap> m_savedState;
};
