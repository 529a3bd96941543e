#include "cluster/KubeconfigContexts.h"
#include "shell/AppPaths.h"

#include "support/StandInTools.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray twoClusters = "apiVersion: v1\nkind: Config\nclusters:\n"
                               "- name: a\n  cluster:\n    server: https://10.0.0.1:6443\n"
                               "- name: b\n  cluster:\n    server: https://10.0.0.2:6443\n"
                               "users:\n- name: ua\n  user:\n    token: t\n"
                               "- name: ub\n  user:\n    exec:\n      apiVersion: "
                               "client.authentication.k8s.io/v1\n      command: bin/plugin\n";

class KubeconfigContextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppPaths::setToolsDirectoryOverride(QStringLiteral(NIMBREL_TOOLS_BUILD_DIR));
    }
    void TearDown() override { AppPaths::setToolsDirectoryOverride({}); }

    QTemporaryDir m_dir;
};

// kubectl reads each file; the list starts with the current context.
TEST_F(KubeconfigContextsTest, ListsTheCurrentContextFirst) {
    using Context = KubeconfigContexts::Context;
    const Context work{u"work"_s, u"https://10.0.0.1:6443"_s, u"ua"_s};
    const Context odd{u"dev \"q\" 'x' 集群"_s, u"https://10.0.0.2:6443"_s, u"ub"_s};
    const struct {
        const char* label;
        QByteArray text;
        QList<Context> contexts;
        QString failure;
    } cases[] = {
        {"several, current sorted last",
         twoClusters + "contexts:\n"
                       "- name: work\n  context: {cluster: a, user: ua}\n"
                       "- name: \"dev \\\"q\\\" 'x' 集群\"\n"
                       "  context: {cluster: b, user: ub}\n"
                       "current-context: work\n",
         {work, odd},
         {}},
        {"one, none current",
         twoClusters + "contexts:\n- name: work\n  context: {cluster: a, user: ua}\n",
         {work},
         {}},
        {"none", twoClusters, {}, u"Kubeconfig文件中没有上下文"_s},
        {"no kubeconfig", "clusters: [unclosed\n", {}, u"无法读取上下文："_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QString path = m_dir.filePath(QString::fromLatin1(c.label));
        writeTextFile(path, c.text);
        const KubeconfigContexts::List list = KubeconfigContexts::read(path);
        EXPECT_EQ(list.contexts, c.contexts);
        EXPECT_TRUE(list.failure.startsWith(c.failure)) << list.failure.toStdString();
        EXPECT_EQ(list.failure.isEmpty(), c.failure.isEmpty());
    }
}

} // namespace
