#include "support/ScreenTest.h"

#include "KubeconfigFiles.h"
#include "session/InstallationState.h"
#include "shell/BackgroundJobs.h"
#include "views/kubeconfig/KubeconfigSelectionView.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace screen_test;

namespace {

class KubeconfigScreen : public KubeconfigFiles, protected Parts {
protected:
    KubeconfigScreen() {
        m_view.setFilePicker([this](QWidget*) {
            ++m_pickerRuns;
            return m_pick;
        });
        m_view.resize(560, 460);
        m_view.show();
    }
    ~KubeconfigScreen() override { BackgroundJobs::waitForDone(); }

    const QWidget* screen() const override { return &m_view; }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    // Picks a file with these bytes through the browse button and presses "下一步".
    void pickAndPressNext(const QByteArray& bytes) {
        m_pick = file(QStringLiteral("cluster.yaml"), bytes);
        click("browseButton");
        ASSERT_TRUE(eventually([&] { return button("nextButton")->isEnabled(); }));
        EXPECT_EQ(text("filePathLabel"), m_pick);
        click("nextButton");
        // The pressed button gave the focus to the file's name, not to the unnamed screen.
        EXPECT_EQ(m_view.focusWidget(), child("fileNameLabel"));
        EXPECT_FALSE(button("nextButton")->isEnabled());
        EXPECT_FALSE(button("changeButton")->isEnabled());
        EXPECT_TRUE(child("busyIndicator")->isVisible());
    }

    InstallationState m_state;
    KubeconfigSelectionView m_view{m_state};
    QString m_pick;
    int m_pickerRuns = 0;
};

TEST_F(KubeconfigScreen, NothingChosenCancelAndChangeKeepNextGrey) {
    EXPECT_TRUE(child("emptyPanel")->isVisible());
    EXPECT_FALSE(button("nextButton")->isEnabled());
    click("browseButton");
    ASSERT_TRUE(eventually([&] { return m_pickerRuns == 1; }));
    EXPECT_FALSE(m_view.isFilePickerPresented());
    EXPECT_TRUE(m_state.kubeconfigPath().isEmpty());

    m_state.setKubeconfigPath(QStringLiteral("/k/config"), QStringLiteral("/k/config"));
    EXPECT_TRUE(child("filePanel")->isVisible());
    click("changeButton");
    EXPECT_TRUE(m_state.kubeconfigPath().isEmpty());
    EXPECT_FALSE(button("nextButton")->isEnabled());
}

TEST_F(KubeconfigScreen, AnInvalidFileFreesTheButtonsAndAValidOneMovesOn) {
    pickAndPressNext("apiVersion: v1\n");
    ASSERT_TRUE(eventually([&] { return m_state.isShowingError(); }));
    EXPECT_EQ(m_state.currentStep(), InstallationStep::kubeconfigSelection);
    EXPECT_TRUE(button("changeButton")->isEnabled());
    EXPECT_EQ(button("nextButton")->text(), QStringLiteral("下一步"));
    m_state.setIsShowingError(false);

    pickAndPressNext("apiVersion: v1\nkind: Config\nclusters: []\n");
    ASSERT_TRUE(
        eventually([&] { return m_state.currentStep() == InstallationStep::devtronChoice; }));
    EXPECT_FALSE(m_state.isShowingError());
}

} // namespace
