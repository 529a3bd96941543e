#pragma once

#include <QString>

#include <optional>

// Devtron's address and administrator password as a lookup found them: each value either read
// from the cluster, or absent with the reason it could not be read. Nothing here is ever a
// default standing in for a value.
struct DevtronAccess {
    struct Value {
        std::optional<QString> text;
        // Why there is no text; empty when the value was read.
        QString failure;

        bool isRead() const { return text.has_value(); }
        static Value read(const QString& text) { return {text, {}}; }
        static Value missing(const QString& failure) { return {std::nullopt, failure}; }
    };

    Value address;
    Value password;

    bool isComplete() const { return address.isRead() && password.isRead(); }
};
