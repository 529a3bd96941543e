<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>DevtronChoiceController</name>
    <message>
        <source>开始测试集群连接...</source>
        <translation>Testing the cluster connection...</translation>
    </message>
    <message>
        <source>使用kubeconfig: %1</source>
        <translation>Using kubeconfig: %1</translation>
    </message>
    <message>
        <source>正在执行集群连接测试: %1</source>
        <translation>Running the cluster connection test: %1</translation>
    </message>
    <message>
        <source>kubectl22工具测试失败: %1</source>
        <translation>kubectl22 tool test failed: %1</translation>
    </message>
    <message>
        <source>kubectl33工具测试失败: %1</source>
        <translation>kubectl33 tool test failed: %1</translation>
    </message>
    <message>
        <source>集群连接测试成功 ✓</source>
        <translation>Cluster connection test passed ✓</translation>
    </message>
    <message>
        <source>namespace信息:
%1</source>
        <translation>Namespaces:
%1</translation>
    </message>
    <message>
        <source>集群连接测试失败: %1</source>
        <translation>Cluster connection test failed: %1</translation>
    </message>
    <message>
        <source>警告: 安装Devtron需要先成功连接到Kubernetes集群</source>
        <translation>Warning: installing Devtron needs a working connection to the Kubernetes cluster</translation>
    </message>
    <message>
        <source>需要测试集群连接才能安装Devtron</source>
        <translation>The cluster connection must be tested before Devtron is installed</translation>
    </message>
    <message>
        <source>安装前检查未通过，无法开始安装</source>
        <translation>The pre-flight check did not pass; cannot start the installation</translation>
    </message>
    <message>
        <source>用户查看安装前检查的警告后暂不安装</source>
        <translation>User reviewed the pre-flight warnings and is not installing for now</translation>
    </message>
    <message>
        <source>用户确认安装前检查的警告，继续安装</source>
        <translation>User accepted the pre-flight warnings, continuing the installation</translation>
    </message>
    <message>
        <source>开始配置环境...</source>
        <translation>Setting up the environment...</translation>
    </message>
    <message>
        <source>配置项目: Kubeconfig, kubectl, helm</source>
        <translation>Setting up: kubeconfig, kubectl, helm</translation>
    </message>
    <message>
        <source>用户选择安装Devtron ✓</source>
        <translation>User chose to install Devtron ✓</translation>
    </message>
    <message>
        <source>用户选择不安装Devtron ✓</source>
        <translation>User chose not to install Devtron ✓</translation>
    </message>
    <message>
        <source>环境配置将在安装步骤中完成 ✓</source>
        <translation>The environment will be set up in the installation step ✓</translation>
    </message>
</context>
<context>
    <name>DevtronChoiceView</name>
    <message>
        <source>安装选项</source>
        <translation>Installation options</translation>
    </message>
    <message>
        <source>请选择是否要安装Devtron平台，无论您的选择如何，我们都将配置必要的命令行工具</source>
        <translation>Choose whether to install the Devtron platform. Either way, the required command-line tools are set up</translation>
    </message>
    <message>
        <source>安装Devtron平台</source>
        <translation>Install the Devtron platform</translation>
    </message>
    <message>
        <source>Devtron功能</source>
        <translation>Devtron features</translation>
    </message>
    <message>
        <source>一键部署镜像文件</source>
        <translation>One-click image deployment</translation>
    </message>
    <message>
        <source>完整的应用监控和可观测性</source>
        <translation>Full application monitoring and observability</translation>
    </message>
    <message>
        <source>简化的Kubernetes配置管理</source>
        <translation>Simpler Kubernetes configuration management</translation>
    </message>
    <message>
        <source>将配置的工具</source>
        <translation>Tools to set up</translation>
    </message>
    <message>
        <source>安装前检查</source>
        <translation>Pre-flight check</translation>
    </message>
    <message>
        <source>安装前检查有警告</source>
        <translation>Pre-flight check has warnings</translation>
    </message>
    <message>
        <source>Devtron可能无法完全启动，详见检查结果。仍要继续安装吗？</source>
        <translation>Devtron may not start fully; see the check results. Continue the installation anyway?</translation>
    </message>
    <message>
        <source>继续安装</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Devtron已安装</source>
        <translation>Devtron is installed</translation>
    </message>
    <message>
        <source>您的集群中已经安装了Devtron。

如果您需要访问现有Devtron的账户和密码，请联系集群管理员获取。</source>
        <translation>Devtron is already installed in your cluster.

If you need the account and password of the existing Devtron, ask your cluster administrator.</translation>
    </message>
    <message>
        <source>我知道了</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>读取访问信息</source>
        <translation>Read access details</translation>
    </message>
    <message>
        <source>正在进行安装前检查...</source>
        <translation>Running the pre-flight check...</translation>
    </message>
    <message>
        <source>正在测试集群连接...</source>
        <translation>Testing the cluster connection...</translation>
    </message>
    <message>
        <source>集群连接测试失败</source>
        <translation>Cluster connection test failed</translation>
    </message>
    <message>
        <source>返回上一步</source>
        <translation>Go back</translation>
    </message>
</context>
<context>
    <name>InstallationController</name>
    <message>
        <source>环境配置失败：无法设置Kubernetes环境。请检查kubeconfig文件权限和有效性，以及kubectl和helm工具是否正常安装。</source>
        <translation>Environment setup failed: cannot set up the Kubernetes environment. Check the kubeconfig file&apos;s permissions and validity, and whether kubectl and helm are installed correctly.</translation>
    </message>
    <message>
        <source>%1

可能的原因：
1. 选择的kubeconfig文件权限不足
2. kubeconfig文件内容格式不正确
3. 应用程序无法写入配置目录
4. kubectl或helm工具无法正确配置

建议：
- 检查kubeconfig文件格式和权限
- 尝试手动测试kubeconfig文件（kubectl --kubeconfig=YOUR_FILE get nodes）</source>
        <extracomment>%1 is the reason the environment set-up failed.</extracomment>
        <translation>%1

Possible causes:
1. The chosen kubeconfig file&apos;s permissions are insufficient
2. The kubeconfig file&apos;s content is malformed
3. The application cannot write to its configuration folder
4. kubectl or helm could not be configured

Suggestions:
- Check the kubeconfig file&apos;s format and permissions
- Try the kubeconfig file by hand (kubectl --kubeconfig=YOUR_FILE get nodes)</translation>
    </message>
    <message>
        <source>开始安装程序...</source>
        <translation>Starting the installer...</translation>
    </message>
    <message>
        <source>开始安装Devtron...</source>
        <translation>Installing Devtron...</translation>
    </message>
    <message>
        <source>仅配置环境，不安装Devtron</source>
        <translation>Only setting up the environment, not installing Devtron</translation>
    </message>
    <message>
        <source>环境配置成功</source>
        <translation>Environment set up</translation>
    </message>
    <message>
        <source>配置失败详情: %1</source>
        <translation>Setup failure details: %1</translation>
    </message>
    <message>
        <source>安装完成，状态: 成功</source>
        <translation>Installation finished, status: success</translation>
    </message>
    <message>
        <source>安装已取消: 集群中已存在Devtron</source>
        <translation>Installation cancelled: Devtron already exists in the cluster</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>=== 安装超时 ===</source>
        <translation>=== Installation timed out ===</translation>
    </message>
    <message>
        <source>安装已运行%1，已超过预定时间</source>
        <extracomment>%1 is the elapsed time as mm:ss.</extracomment>
        <translation>The installation has run for %1, longer than the time allowed</translation>
    </message>
    <message>
        <source>自动返回安装选择页面</source>
        <translation>Returning to the installation options</translation>
    </message>
    <message>
        <source>=== 安装失败 ===</source>
        <translation>=== Installation failed ===</translation>
    </message>
    <message>
        <source>失败原因: %1</source>
        <translation>Failure reason: %1</translation>
    </message>
    <message>
        <source>环境配置失败</source>
        <translation>Environment setup failed</translation>
    </message>
    <message>
        <source>安装失败</source>
        <translation>Installation failed</translation>
    </message>
    <message>
        <source>安装失败: %1</source>
        <translation>Installation failed: %1</translation>
    </message>
    <message>
        <source>%1

详细信息:
%2</source>
        <extracomment>%1 is the failure message, %2 the last error lines of the log.</extracomment>
        <translation>%1

Details:
%2</translation>
    </message>
    <message>
        <source>安装完成，正在自动跳转到下一步...</source>
        <translation>Installation finished, moving on to the next step...</translation>
    </message>
    <message>
        <source>跳过等待服务启动页面，直接进入完成页面</source>
        <translation>Skipping the wait for services, going straight to the last page</translation>
    </message>
    <message>
        <source>总安装时间: %1</source>
        <translation>Total installation time: %1</translation>
    </message>
    <message>
        <source>返回到安装选择界面</source>
        <translation>Back to the installation options</translation>
    </message>
    <message>
        <source>安装日志已复制到剪贴板</source>
        <translation>Installation log copied to the clipboard</translation>
    </message>
</context>
<context>
    <name>InstallationView</name>
    <message>
        <source>请稍候，安装过程正在进行中（大约需要3-5分钟）</source>
        <translation>Please wait, the installation is running (about 3-5 minutes)</translation>
    </message>
    <message>
        <source>安装过程中请勿关闭应用</source>
        <translation>Do not close the app while it installs</translation>
    </message>
    <message>
        <source>安装进度</source>
        <translation>Installation progress</translation>
    </message>
    <message>
        <source>安装日志</source>
        <translation>Installation log</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>复制安装日志</source>
        <translation>Copy the installation log</translation>
    </message>
    <message>
        <source>正在安装Devtron</source>
        <translation>Installing Devtron</translation>
    </message>
    <message>
        <source>正在配置环境</source>
        <translation>Setting up the environment</translation>
    </message>
    <message>
        <source>已运行: %1</source>
        <translation>Elapsed: %1</translation>
    </message>
    <message>
        <source>安装完成</source>
        <translation>Finished</translation>
    </message>
    <message>
        <source>正在安装...</source>
        <translation>Installing...</translation>
    </message>
</context>
<context>
    <name>KubeconfigSelectionView</name>
    <message>
        <source>选择Kubeconfig文件</source>
        <translation>Choose a kubeconfig file</translation>
    </message>
    <message>
        <source>请选择有效的Kubeconfig文件，以便连接到您的Kubernetes集群</source>
        <translation>Choose a valid kubeconfig file to connect to your Kubernetes cluster</translation>
    </message>
    <message>
        <source>请选择Kubeconfig文件</source>
        <translation>Choose a kubeconfig file</translation>
    </message>
    <message>
        <source>浏览文件</source>
        <translation>Browse files</translation>
    </message>
    <message>
        <source>没有账号？</source>
        <translation>No account?</translation>
    </message>
    <message>
        <source>点击注册</source>
        <translation>Sign up</translation>
    </message>
    <message>
        <source>已选择文件</source>
        <translation>Selected file</translation>
    </message>
    <message>
        <source>更换文件</source>
        <translation>Change file</translation>
    </message>
    <message>
        <source>YAML 和纯文本文件 (*)</source>
        <translation>YAML and plain text files (*)</translation>
    </message>
    <message>
        <source>查找范围:</source>
        <translation>Look in:</translation>
    </message>
    <message>
        <source>文件名:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>文件类型:</source>
        <translation>Files of type:</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>请选择您的Kubeconfig配置文件</source>
        <translation>Choose your kubeconfig file</translation>
    </message>
</context>
<context>
    <name>KubeconfigStepController</name>
    <message>
        <source>用户选择了Kubeconfig文件: %1</source>
        <translation>User chose kubeconfig file: %1</translation>
    </message>
    <message>
        <source>开始验证Kubeconfig文件: %1</source>
        <translation>Validating kubeconfig file: %1</translation>
    </message>
    <message>
        <source>Kubeconfig文件验证成功 ✓</source>
        <translation>Kubeconfig file is valid ✓</translation>
    </message>
</context>
<context>
    <name>KubeconfigValidator</name>
    <message>
        <source>文件内容不是有效的UTF-8文本</source>
        <translation>The file is not valid UTF-8 text</translation>
    </message>
    <message>
        <source>无效的Kubeconfig文件。请确保包含所有必要字段: %1。</source>
        <extracomment>%1 lists the missing field names, separated by commas.</extracomment>
        <translation>Invalid kubeconfig file. Make sure it has all required fields: %1.</translation>
    </message>
    <message>
        <source>无法读取Kubeconfig文件: %1</source>
        <translation>Cannot read the kubeconfig file: %1</translation>
    </message>
    <message>
        <source>没有可用的私有临时目录</source>
        <translation>No private temporary folder is available</translation>
    </message>
    <message>
        <source>读取Kubeconfig文件内容...</source>
        <translation>Reading the kubeconfig file...</translation>
    </message>
    <message>
        <source>读取Kubeconfig文件失败: %1</source>
        <translation>Reading the kubeconfig file failed: %1</translation>
    </message>
    <message>
        <source>尝试解码文件内容...</source>
        <translation>Trying to decode the file content...</translation>
    </message>
    <message>
        <source>Base64解码失败或内容不是Base64格式，使用原始文件内容</source>
        <translation>Base64 decoding failed or the content is not Base64; using the original file content</translation>
    </message>
    <message>
        <source>检测到Base64编码的kubeconfig文件，解码成功</source>
        <translation>Found a Base64-encoded kubeconfig file and decoded it</translation>
    </message>
    <message>
        <source>已自动解码kubeconfig文件</source>
        <translation>Kubeconfig file decoded automatically</translation>
    </message>
    <message>
        <source>保存解码后的kubeconfig文件失败: %1</source>
        <translation>Saving the decoded kubeconfig file failed: %1</translation>
    </message>
    <message>
        <source>解码后内容不是有效的kubeconfig格式，使用原始文件内容</source>
        <translation>The decoded content is not a valid kubeconfig; using the original file content</translation>
    </message>
    <message>
        <source>Kubeconfig文件大小: %1 字节</source>
        <translation>Kubeconfig file size: %1 bytes</translation>
    </message>
    <message>
        <source>缺少字段: %1</source>
        <translation>Missing fields: %1</translation>
    </message>
    <message>
        <source>检测到集群名称: %1</source>
        <translation>Cluster name found: %1</translation>
    </message>
</context>
<context>
    <name>LogFilter</name>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>错误</source>
        <comment>log marker</comment>
        <translation>error</translation>
    </message>
    <message>
        <source>失败</source>
        <comment>log marker</comment>
        <translation>fail</translation>
    </message>
    <message>
        <source>命令</source>
        <comment>log marker</comment>
        <translation>command</translation>
    </message>
    <message>
        <source>执行命令</source>
        <comment>log marker</comment>
        <translation>running command</translation>
    </message>
</context>
<context>
    <name>LogViewerView</name>
    <message>
        <source>安装日志详情</source>
        <translation>Installation log details</translation>
    </message>
    <message>
        <source>没有符合条件的日志</source>
        <translation>No matching log lines</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>搜索日志内容</source>
        <translation>Search the log</translation>
    </message>
    <message>
        <source>清除搜索</source>
        <translation>Clear search</translation>
    </message>
    <message>
        <source>日志级别</source>
        <translation>Log level</translation>
    </message>
    <message>
        <source>安装日志</source>
        <translation>Installation log</translation>
    </message>
    <message>
        <source>复制到剪贴板</source>
        <translation>Copy to clipboard</translation>
    </message>
</context>
<context>
    <name>PreflightCheck</name>
    <message>
        <source>Kubernetes版本</source>
        <translation>Kubernetes version</translation>
    </message>
    <message>
        <source>安装权限</source>
        <translation>Permissions</translation>
    </message>
    <message>
        <source>存储</source>
        <translation>Storage</translation>
    </message>
    <message>
        <source>节点资源</source>
        <translation>Node resources</translation>
    </message>
    <message>
        <source>已有安装</source>
        <translation>Existing installation</translation>
    </message>
    <message>
        <source>请确认集群可以访问后重试</source>
        <translation>Make sure the cluster can be reached, then retry</translation>
    </message>
    <message>
        <source>集群中已经部署了Devtron</source>
        <translation>Devtron is already deployed in the cluster</translation>
    </message>
    <message>
        <source>%1 核</source>
        <translation>%1 cores</translation>
    </message>
    <message>
        <source>执行命令: %1</source>
        <translation>Running command: %1</translation>
    </message>
    <message>
        <source>开始安装前检查...</source>
        <translation>Starting the pre-flight check...</translation>
    </message>
    <message>
        <source>检查 %1 %2 %3</source>
        <extracomment>The check&apos;s title, a mark for its state, what was found.</extracomment>
        <translation>Check %1 %2 %3</translation>
    </message>
    <message>
        <source>无法读取集群版本</source>
        <translation>Cannot read the cluster version</translation>
    </message>
    <message>
        <source>无法识别集群返回的版本信息</source>
        <translation>Cannot understand the version the cluster returned</translation>
    </message>
    <message>
        <source>集群版本 %1 低于Devtron要求的 v1.%2</source>
        <translation>Cluster version %1 is below v1.%2, which Devtron requires</translation>
    </message>
    <message>
        <source>请将集群升级到 v1.%1 或更高版本</source>
        <translation>Upgrade the cluster to v1.%1 or later</translation>
    </message>
    <message>
        <source>集群版本 %1</source>
        <translation>Cluster version %1</translation>
    </message>
    <message>
        <source>无法检查安装权限</source>
        <translation>Cannot check the permissions</translation>
    </message>
    <message>
        <source>当前用户无权创建: %1</source>
        <translation>The current user cannot create: %1</translation>
    </message>
    <message>
        <source>请使用具有集群管理员权限的kubeconfig</source>
        <translation>Use a kubeconfig with cluster-admin rights</translation>
    </message>
    <message>
        <source>可以创建命名空间、CRD和集群角色绑定</source>
        <translation>Can create namespaces, CRDs and cluster role bindings</translation>
    </message>
    <message>
        <source>无法列出StorageClass</source>
        <translation>Cannot list StorageClasses</translation>
    </message>
    <message>
        <source>无法识别集群返回的StorageClass列表</source>
        <translation>Cannot understand the StorageClass list the cluster returned</translation>
    </message>
    <message>
        <source>默认StorageClass: %1</source>
        <translation>Default StorageClass: %1</translation>
    </message>
    <message>
        <source>没有默认StorageClass，Devtron的数据库卷将一直处于Pending状态</source>
        <translation>No default StorageClass; Devtron&apos;s database volume will stay Pending</translation>
    </message>
    <message>
        <source>请为集群设置默认StorageClass（注解 storageclass.kubernetes.io/is-default-class=true）</source>
        <translation>Set a default StorageClass for the cluster (annotation storageclass.kubernetes.io/is-default-class=true)</translation>
    </message>
    <message>
        <source>无法列出节点</source>
        <translation>Cannot list the nodes</translation>
    </message>
    <message>
        <source>无法识别集群返回的节点列表</source>
        <translation>Cannot understand the node list the cluster returned</translation>
    </message>
    <message>
        <source>%1个可调度节点，可用 CPU %2、内存 %3</source>
        <translation>%1 schedulable nodes, allocatable CPU %2, memory %3</translation>
    </message>
    <message>
        <source>%1，低于Devtron建议的 %2、%3</source>
        <extracomment>%1 is what the nodes offer; %2 and %3 are the CPU and memory Devtron asks for.</extracomment>
        <translation>%1, below the %2 and %3 Devtron recommends</translation>
    </message>
    <message>
        <source>请添加节点或换用更大的节点，否则部分Pod可能无法调度</source>
        <translation>Add nodes or use larger ones, or some pods may not be scheduled</translation>
    </message>
    <message>
        <source>可以读取现有安装的访问信息，无需重新安装</source>
        <translation>The existing installation&apos;s access details can be read instead of installing again</translation>
    </message>
    <message>
        <source>集群中有未完成部署的Devtron发布，安装将继续</source>
        <translation>The cluster has a Devtron release that is not fully deployed; the installation goes on</translation>
    </message>
    <message>
        <source>集群中没有已部署的Devtron</source>
        <translation>No deployed Devtron in the cluster</translation>
    </message>
    <message>
        <source>无法检查已有安装</source>
        <translation>Cannot check for an existing installation</translation>
    </message>
</context>
<context>
    <name>PreflightRow</name>
    <message>
        <source>通过</source>
        <translation>passed</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>未通过</source>
        <translation>not passed</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 %2：%3 %4</source>
        <extracomment>The check&apos;s title, its state (passed, warning, failed), what was found, what to do.</extracomment>
        <translation>%1 %2: %3 %4</translation>
    </message>
</context>
</TS>
