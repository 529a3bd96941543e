#include "cluster/ReleaseRecord.h"
#include "cluster/PreflightCheck.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// What helm history devtron -n devtroncd -o json --max 1 prints for a release in `status`.
QString history(const char* status, const char* updated = "2026-12-06T21:14:05.361728913Z") {
    return uR"([{"revision":3,"updated":"%1","status":"%2","chart":"devtron-operator-0.22.74",)"
           uR"("app_version":"0.7.2","description":"Install complete"}])"_s.arg(
               QLatin1String(updated), QLatin1String(status)) +
           u'\n';
}

} // namespace

TEST(ReleaseRecord, EachStateHelmLeavesIsToldApartAndJunkIsNoRecord) {
    using State = PreflightCheck::State;
    const struct {
        QString output;
        State state;
        bool pending;
    } cases[] = {
        {history("deployed"), State::warning, false},
        {history("failed"), State::failed, false},
        {history("pending-install"), State::failed, true},
        {history("pending-upgrade"), State::failed, true},
        {history("pending-rollback"), State::failed, true},
        {history("uninstalling"), State::failed, false},
        // Helm writes a zero time as an empty text.
        {history("failed", ""), State::failed, false},
        {u"[]"_s, State::warning, false},
        {u"Error: not json"_s, State::warning, false},
        {uR"([{"revision":0,"status":"failed"}])"_s, State::warning, false},
        {uR"({"revision":3,"status":"failed"})"_s, State::warning, false},
        {uR"([{"revision":3,"status":""}])"_s, State::warning, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output.toStdString());
        const std::optional<ReleaseRecord> record = ReleaseRecord::fromHistoryJson(c.output);
        const PreflightCheck::Result result = PreflightCheck::checkRelease({c.output, {}, 0});
        EXPECT_EQ(result.state, c.state);
        EXPECT_EQ(result.brokenRelease.has_value(), c.state == State::failed);
        EXPECT_EQ(record.has_value(), c.state == State::failed || c.output == history("deployed"));
        if (c.state != State::failed) {
            continue;
        }
        EXPECT_EQ(result.brokenRelease, record);
        EXPECT_EQ(record->isPending(), c.pending);
        EXPECT_EQ(record->revision, 3);
        EXPECT_EQ(record->secretName(), u"sh.helm.release.v1.devtron.v3"_s);
        const QString time = QDateTime(QDate(2026, 12, 6), QTime(21, 14, 5), Qt::UTC)
                                 .toLocalTime()
                                 .toString(u"yyyy-MM-dd HH:mm"_s);
        EXPECT_EQ(record->describe(), !c.output.contains(u"\"updated\":\"\""_s)
                                          ? u"%1（第3版，%2）"_s.arg(record->status, time)
                                          : u"%1（第3版）"_s.arg(record->status));
        EXPECT_TRUE(result.cause.endsWith(record->describe()));
    }
    // Not found is no record at all; an unanswered question is no "not installed".
    EXPECT_EQ(PreflightCheck::checkRelease({{}, u"Error: release: not found\n"_s, 1}).state,
              State::passed);
    EXPECT_EQ(
        PreflightCheck::checkRelease({{}, u"Error: Kubernetes cluster unreachable"_s, 1}).state,
        State::warning);
}
