#pragma once

#include "session/AddressSource.h"

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
        // Not there yet, but on its way: Devtron fills in its password some time after the
        // installation. Not a failure.
        bool pending = false;

        bool isRead() const { return text.has_value(); }
        static Value read(const QString& text) { return {text, {}, false}; }
        static Value missing(const QString& failure) { return {std::nullopt, failure, false}; }
        static Value notYet() { return {std::nullopt, {}, true}; }
    };

    Value address;
    Value password;
    AddressSource addressSource = AddressSource::none;
    // The port of Devtron's Service that a local tunnel forwards to.
    int servicePort = 80;

    // A tunnel still to be opened counts as found: the cluster said how to reach Devtron.
    bool hasAddress() const { return address.isRead() || addressSource == AddressSource::tunnel; }
    bool isComplete() const { return address.isRead() && password.isRead(); }
};
