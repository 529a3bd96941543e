#pragma once

#include "support/StandInTools.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// Every name the validator looks for, with a server address and the current context.
inline const QByteArray completeKubeconfig =
    "apiVersion: v1\nkind: Config\nclusters:\n- cluster:\n"
    "    server: https://203.0.113.10:6443\n  name: prod-cluster\n"
    "contexts:\n- name: prod\n  context: {cluster: prod-cluster, user: u}\n"
    "current-context: prod\nusers:\n- name: u\n  user: {token: t}\n";

// Kubeconfig files written for one case, gone with it.
class KubeconfigFiles : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& bytes) const {
        writeTextFile(m_files.filePath(name), bytes);
        return m_files.filePath(name);
    }

    QTemporaryDir m_files;
};
