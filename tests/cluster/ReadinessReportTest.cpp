#include "cluster/ReadinessReport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString pendingPod =
    uR"({"items":[{"metadata":{"name":"devtron-0"},"status":{"phase":"Pending"}}]})"_s;

QString claim(const char* storageClass) {
    const QString named = storageClass == nullptr
                              ? QString()
                              : u"\"storageClassName\":\"%1\""_s.arg(QLatin1String(storageClass));
    return uR"({"items":[{"metadata":{"name":"data"},"spec":{%1},"status":{"phase":"Pending"}}]})"_s
        .arg(named);
}

QString classes(const char* name, bool isDefault, const char* binding) {
    return uR"({"items":[{"metadata":{"name":"%1","annotations":{"storageclass.kubernetes.io/)"
           uR"(is-default-class":"%2"}},"volumeBindingMode":"%3"}]})"_s.arg(
               QLatin1String(name), isDefault ? u"true"_s : u"false"_s, QLatin1String(binding));
}

// A Pending claim is blamed only on what the StorageClasses show.
TEST(ReadinessReport, PendingClaimsAreExplainedByWhatTheClusterHas) {
    struct Case {
        QString claims;
        QString storageClasses;
        QString reason;
    };
    const Case cases[] = {
        {claim(nullptr), classes("standard", false, "Immediate"),
         u"存储卷 data 处于Pending状态：集群没有可用的默认StorageClass"_s},
        {claim(nullptr), classes("local-path", true, "WaitForFirstConsumer"), {}},
        {claim("fast"), classes("standard", true, "Immediate"),
         u"存储卷 data 处于Pending状态：集群中没有StorageClass fast"_s},
        {claim("fast"), classes("fast", false, "Immediate"),
         u"存储卷 data 处于Pending状态（StorageClass fast）"_s},
        {claim(nullptr), {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.claims.toStdString() + c.storageClasses.toStdString());
        EXPECT_TRUE(ReadinessReport::hasPendingClaim(c.claims));
        EXPECT_EQ(ReadinessReport::fromLists(pendingPod, c.claims, c.storageClasses).reason,
                  c.reason);
    }
}

} // namespace
