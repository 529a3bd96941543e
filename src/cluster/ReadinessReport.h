#pragma once

#include <QCoreApplication>
#include <QString>

// How far Devtron's pods in devtroncd have come, read from kubectl's JSON lists of the pods and
// the PersistentVolumeClaims: N of M ready, and the first thing that holds Devtron back, in plain
// words, saying only what the cluster said. Widget-free and stateless, so that every rule can be
// checked on plain texts.
struct ReadinessReport {
    // Pods that ran to completion (jobs) are counted in neither.
    int ready = 0;
    int total = 0;
    // Empty while nothing is known to hold Devtron back.
    QString reason;

    bool isReady() const { return total > 0 && ready == total; }

    // The lists as kubectl prints them with -o json; none when the pods list is unreadable. The
    // StorageClasses are needed only to explain a Pending claim; without them it is not judged.
    static ReadinessReport fromLists(const QString& pods, const QString& claims,
                                     const QString& storageClasses = {});
    // The items of one kind in a kubectl list of several, as a list of their own.
    static QString itemsOfKind(const QString& list, const QString& kind);
    // Whether a claim is Pending, so that the StorageClasses are worth asking for.
    static bool hasPendingClaim(const QString& claims);

    Q_DECLARE_TR_FUNCTIONS(ReadinessReport)
};
