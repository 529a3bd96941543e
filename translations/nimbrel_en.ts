<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AccessLookup</name>
    <message>
        <source>&lt;已隐藏, %1 字符&gt;</source>
        <translation>&lt;hidden, %1 characters&gt;</translation>
    </message>
    <message>
        <source>===== %1 =====
命令: %2
退出代码: %3

错误输出:
%4
</source>
        <extracomment>%1 is the report&apos;s title, %2 the command, %3 its exit code and %4 its error output.</extracomment>
        <translation>===== %1 =====
Command: %2
Exit code: %3

Error output:
%4
</translation>
    </message>
    <message>
        <source>命令退出代码: %1</source>
        <translation>Command exit code: %1</translation>
    </message>
    <message>
        <source>Devtron URL获取错误</source>
        <translation>Devtron URL lookup error</translation>
    </message>
    <message>
        <source>URL获取错误信息已保存到: %1</source>
        <translation>URL lookup error saved to: %1</translation>
    </message>
    <message>
        <source>未找到Devtron URL</source>
        <translation>No Devtron URL found</translation>
    </message>
    <message>
        <source>命令输出:</source>
        <translation>Command output:</translation>
    </message>
    <message>
        <source>解析到URL: %1</source>
        <translation>Parsed URL: %1</translation>
    </message>
    <message>
        <source>获取到Devtron URL: %1</source>
        <translation>Got the Devtron URL: %1</translation>
    </message>
    <message>
        <source>获取到编码密码: %1</source>
        <translation>Got the encoded password: %1</translation>
    </message>
    <message>
        <source>成功解码密码</source>
        <translation>Password decoded</translation>
    </message>
    <message>
        <source>无法解码Devtron密码</source>
        <translation>Could not decode the Devtron password</translation>
    </message>
    <message>
        <source>Devtron信息获取错误</source>
        <translation>Devtron access details error</translation>
    </message>
    <message>
        <source>详细错误信息已保存到: %1</source>
        <translation>Error details saved to: %1</translation>
    </message>
    <message>
        <source>无法获取Devtron密码</source>
        <translation>Could not get the Devtron password</translation>
    </message>
    <message>
        <source>输出中没有Devtron地址</source>
        <translation>No Devtron address in the output</translation>
    </message>
    <message>
        <source>devtron-secret中没有ADMIN_PASSWORD</source>
        <translation>No ADMIN_PASSWORD in devtron-secret</translation>
    </message>
    <message>
        <source>ADMIN_PASSWORD不是有效的Base64文本</source>
        <translation>ADMIN_PASSWORD is not valid Base64 text</translation>
    </message>
    <message>
        <source>错误输出:</source>
        <translation>Error output:</translation>
    </message>
    <message>
        <source>错误详情已复制到剪贴板，可直接粘贴查看</source>
        <translation>Error details copied to the clipboard, ready to paste</translation>
    </message>
    <message>
        <source>无法保存错误日志: %1</source>
        <translation>Could not save the error log: %1</translation>
    </message>
</context>
<context>
    <name>ClusterErrors</name>
    <message>
        <source>无法连接到Kubernetes服务器。请检查:
1. 集群是否运行
2. 网络连接是否正常
3. Kubeconfig中的服务器地址是否正确</source>
        <translation>Cannot connect to the Kubernetes server. Check:
1. The cluster is running
2. The network connection works
3. The server address in the kubeconfig is correct</translation>
    </message>
    <message>
        <source>无法连接到Kubernetes服务器。请检查:
1. 集群是否运行
2. 网络连接是否正常
3. Kubeconfig是否正确</source>
        <translation>Cannot connect to the Kubernetes server. Check:
1. The cluster is running
2. The network connection works
3. The kubeconfig is correct</translation>
    </message>
    <message>
        <source>授权失败。请检查:
1. Kubeconfig中的证书是否有效
2. 用户凭证是否正确
3. 您是否有访问集群的权限</source>
        <translation>Authorization failed. Check:
1. The certificates in the kubeconfig are valid
2. The user credentials are correct
3. You have access to the cluster</translation>
    </message>
    <message>
        <source>证书错误。请检查:
1. Kubeconfig中的证书是否有效
2. 集群证书是否已过期
3. 集群服务器地址与证书是否匹配</source>
        <translation>Certificate error. Check:
1. The certificates in the kubeconfig are valid
2. The cluster certificates have not expired
3. The cluster server address matches its certificate</translation>
    </message>
    <message>
        <source>凭证插件执行失败:
%1

请先用云服务商的工具重新登录（例如 aws sso login、gcloud auth login、az login），然后重试。</source>
        <extracomment>%1 is the credential helper&apos;s own message. The text before it is the heading by which the message is recognised.</extracomment>
        <translation>Credential plugin failed:
%1

Log in again with your cloud provider&apos;s tool (for example aws sso login, gcloud auth login or az login), then retry.</translation>
    </message>
    <message>
        <source>无法连接到Kubernetes集群</source>
        <translation>Cannot connect to the Kubernetes cluster</translation>
    </message>
    <message>
        <source>连接Kubernetes集群失败。

错误详情:
%1

请检查您的kubeconfig文件和集群状态，确保集群可正常访问。</source>
        <extracomment>%1 is the error&apos;s text.</extracomment>
        <translation>Connecting to the Kubernetes cluster failed.

Error details:
%1

Check your kubeconfig file and the cluster status, and make sure the cluster is reachable.</translation>
    </message>
    <message>
        <source>凭证插件%1未安装或不在PATH中。请安装它，或将它所在的文件夹加入PATH，然后重试。</source>
        <extracomment>%1 is the program the kubeconfig names as its credential plugin.</extracomment>
        <translation>The credential plugin %1 is not installed or not on the PATH. Install it, or add its folder to the PATH, then retry.</translation>
    </message>
</context>
<context>
    <name>CommandRunner</name>
    <message>
        <source>忽略无效的环境变量名: %1</source>
        <translation>Ignoring invalid environment variable name: %1</translation>
    </message>
    <message>
        <source>命令超时：%1 秒后仍未结束，已终止</source>
        <translation>Command timed out: still not finished after %1 s, stopped</translation>
    </message>
</context>
<context>
    <name>CompletionController</name>
    <message>
        <source>Devtron已可以访问</source>
        <translation>Devtron is now reachable</translation>
    </message>
    <message>
        <source>安装未能完全完成，部分功能可能不可用</source>
        <translation>The installation did not fully complete; some features may be unavailable</translation>
    </message>
    <message>
        <source>Devtron和Kubernetes工具已安装配置完成</source>
        <translation>Devtron and the Kubernetes tools are installed and set up</translation>
    </message>
    <message>
        <source>Kubernetes工具已完成配置</source>
        <translation>The Kubernetes tools are set up</translation>
    </message>
    <message>
        <source>已安装</source>
        <translation>Installed</translation>
    </message>
    <message>
        <source>安装中断</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>安装用时: %1</source>
        <translation>Installation time: %1</translation>
    </message>
    <message>
        <source>已复制</source>
        <translation>Copied</translation>
    </message>
    <message>
        <source>已复制所有访问信息</source>
        <translation>Copied all access details</translation>
    </message>
    <message>
        <source>保存到钥匙串失败: %1</source>
        <translation>Saving to the keyring failed: %1</translation>
    </message>
    <message>
        <source>已保存</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>正在获取Devtron凭证...</source>
        <translation>Getting Devtron credentials...</translation>
    </message>
    <message>
        <source>Devtron访问信息:</source>
        <translation>Devtron access details:</translation>
    </message>
    <message>
        <source>地址: %1</source>
        <translation>Address: %1</translation>
    </message>
    <message>
        <source>用户名: %1</source>
        <translation>Username: %1</translation>
    </message>
    <message>
        <source>密码: %1</source>
        <translation>Password: %1</translation>
    </message>
    <message>
        <source>请妥善保管此信息，这些信息丢失后需要重新安装才能恢复。</source>
        <translation>Keep these details safe: once lost, they can only be recovered by installing again.</translation>
    </message>
    <message>
        <source>无法建立本地隧道: %1</source>
        <translation>Cannot open the local tunnel: %1</translation>
    </message>
    <message>
        <source>地址来源：ServiceExporter</source>
        <translation>Address from: the ServiceExporter</translation>
    </message>
    <message>
        <source>地址来源：负载均衡器（LoadBalancer）</source>
        <translation>Address from: the load balancer (LoadBalancer)</translation>
    </message>
    <message>
        <source>地址来源：节点端口（NodePort）</source>
        <translation>Address from: a node port (NodePort)</translation>
    </message>
    <message>
        <source>地址来源：本地隧道（kubectl port-forward）</source>
        <translation>Address from: a local tunnel (kubectl port-forward)</translation>
    </message>
    <message>
        <source>此地址仅在Nimbrel打开时可用。以后可在终端中执行以下命令重新建立隧道：</source>
        <translation>This address works only while Nimbrel is open. To open the tunnel again later, run this command in a terminal:</translation>
    </message>
    <message>
        <source>Devtron管理员密码已生成并读取</source>
        <translation>Devtron&apos;s admin password has been generated and read</translation>
    </message>
    <message>
        <source>已读取密码</source>
        <translation>Password read</translation>
    </message>
    <message>
        <source>Devtron在%1没有应答，改用本地隧道</source>
        <translation>Devtron does not answer at %1; using a local tunnel instead</translation>
    </message>
    <message>
        <source>已读取集群中现有Devtron的访问信息</source>
        <translation>Read the access details of the Devtron already in the cluster</translation>
    </message>
    <message>
        <source>所选文件就是~/.kube/config，命令不会改动它。</source>
        <translation>The chosen file is ~/.kube/config itself; the command leaves it as it is.</translation>
    </message>
    <message>
        <source>现有的~/.kube/config会保留为带编号的备份（如~/.kube/config.~1~）。</source>
        <translation>The existing ~/.kube/config is kept as a numbered backup (such as ~/.kube/config.~1~).</translation>
    </message>
    <message>
        <source>命令复制的是临时副本，请在下次运行Nimbrel或注销之前执行。</source>
        <translation>The command copies a temporary copy: run it before you start Nimbrel again or log out.</translation>
    </message>
    <message>
        <source>%1%2</source>
        <extracomment>Two sentences in a row.</extracomment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>已删除钥匙串中上次保存的%1：本次未读取</source>
        <extracomment>%1 is the keychain item&apos;s key, e.g. devtronPassword.</extracomment>
        <translation>Removed the %1 an earlier run stored in the keychain: it was not read this time</translation>
    </message>
</context>
<context>
    <name>CompletionInfoRow</name>
    <message>
        <source>复制%1</source>
        <extracomment>%1 is the row&apos;s label, such as the address.</extracomment>
        <translation>Copy %1</translation>
    </message>
    <message>
        <source>打开%1</source>
        <extracomment>%1 is the row&apos;s label, such as the address.</extracomment>
        <translation>Open %1</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>未能读取</source>
        <translation>Could not read</translation>
    </message>
</context>
<context>
    <name>CompletionView</name>
    <message>
        <source>安装完成</source>
        <translation>Finished</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Finish</translation>
    </message>
    <message>
        <source>安装超时提醒</source>
        <translation>Installation timed out</translation>
    </message>
    <message>
        <source>Devtron服务启动超时，访问凭证可能不完整或不可用。您可以：</source>
        <translation>Devtron&apos;s services took too long to start; the access credentials may be incomplete or unusable. You can:</translation>
    </message>
    <message>
        <source>• 稍后手动检查服务状态</source>
        <translation>• Check the services&apos; status by hand later</translation>
    </message>
    <message>
        <source>• 查看安装日志了解详细信息</source>
        <translation>• See the installation log for details</translation>
    </message>
    <message>
        <source>• 如需重新安装，请重启应用</source>
        <translation>• Restart the app to install again</translation>
    </message>
    <message>
        <source>访问信息</source>
        <translation>Access details</translation>
    </message>
    <message>
        <source>用户名</source>
        <translation>Username</translation>
    </message>
    <message>
        <source>服务启动超时，无法获取完整访问信息</source>
        <translation>The services took too long to start; could not get all access details</translation>
    </message>
    <message>
        <source>请妥善保存访问信息，丢失后需要重新安装才能恢复</source>
        <translation>Keep the access details safe: once lost, they can only be recovered by installing again</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>显示密码</source>
        <translation>Show password</translation>
    </message>
    <message>
        <source>复制密码</source>
        <translation>Copy password</translation>
    </message>
    <message>
        <source>也可在终端中执行以下命令手动读取：</source>
        <translation>You can also read them by hand with these commands in a terminal:</translation>
    </message>
    <message>
        <source>重新读取</source>
        <translation>Read again</translation>
    </message>
    <message>
        <source>正在获取Devtron凭证...</source>
        <translation>Getting Devtron credentials...</translation>
    </message>
    <message>
        <source>复制命令</source>
        <translation>Copy command</translation>
    </message>
    <message>
        <source>配置命令行环境</source>
        <translation>Set up the command line</translation>
    </message>
    <message>
        <source>因Linux系统权限限制，需在终端中执行以下命令以使用kubectl和helm工具：</source>
        <translation>Linux permissions require this command in a terminal before you can use kubectl and helm:</translation>
    </message>
    <message>
        <source>已安装工具</source>
        <translation>Installed tools</translation>
    </message>
    <message>
        <source>已安装</source>
        <translation>Installed</translation>
    </message>
    <message>
        <source>已配置</source>
        <translation>Configured</translation>
    </message>
    <message>
        <source>查看安装日志</source>
        <translation>View installation log</translation>
    </message>
    <message>
        <source>隐藏密码</source>
        <translation>Hide password</translation>
    </message>
    <message>
        <source>保存访问信息</source>
        <translation>Save access details</translation>
    </message>
    <message>
        <source>访问信息丢失后需要重新安装才能恢复。现在要复制这些信息到剪贴板吗？</source>
        <translation>Lost access details can only be recovered by installing again. Copy them to the clipboard now?</translation>
    </message>
    <message>
        <source>复制信息</source>
        <translation>Copy details</translation>
    </message>
    <message>
        <source>直接完成</source>
        <translation>Finish now</translation>
    </message>
    <message>
        <source>保存到钥匙串失败</source>
        <translation>Saving to the keyring failed</translation>
    </message>
    <message>
        <source>%1

访问信息仍在窗口中，您可以先复制再退出。</source>
        <extracomment>%1 is why the keychain refused the access details.</extracomment>
        <translation>%1

The access details are still in the window: you can copy them before you quit.</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>Retry</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>正在建立本地隧道...</source>
        <translation>Opening a local tunnel...</translation>
    </message>
    <message>
        <source>尚未生成</source>
        <translation>Not generated yet</translation>
    </message>
</context>
<context>
    <name>ContextListView</name>
    <message>
        <source>上下文</source>
        <translation>Context</translation>
    </message>
    <message>
        <source>%1，用户 %2</source>
        <extracomment>%1 is the cluster&apos;s server address, %2 the kubeconfig user.</extracomment>
        <translation>%1, user %2</translation>
    </message>
    <message>
        <source>正在读取上下文...</source>
        <translation>Reading the contexts...</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <extracomment>%1 is the only context&apos;s name, %2 its server and user.</extracomment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>CredentialLookup</name>
    <message>
        <source>错误输出: %1</source>
        <translation>Error output: %1</translation>
    </message>
    <message>
        <source>获取Devtron服务地址: %1</source>
        <translation>Getting the Devtron service address: %1</translation>
    </message>
    <message>
        <source>获取URL命令执行失败，退出代码: %1</source>
        <translation>The URL command failed, exit code: %1</translation>
    </message>
    <message>
        <source>命令执行成功，正在解析输出...</source>
        <translation>Command succeeded, parsing the output...</translation>
    </message>
    <message>
        <source>输出内容长度: %1字节</source>
        <translation>Output length: %1 bytes</translation>
    </message>
    <message>
        <source>完整输出:</source>
        <translation>Full output:</translation>
    </message>
    <message>
        <source>未找到Devtron URL</source>
        <translation>No Devtron URL found</translation>
    </message>
    <message>
        <source>添加端口号到URL: %1</source>
        <translation>Added the port to the URL: %1</translation>
    </message>
    <message>
        <source>获取Devtron管理员密码: %1</source>
        <translation>Getting the Devtron admin password: %1</translation>
    </message>
    <message>
        <source>获取密码命令执行失败，退出代码: %1</source>
        <translation>The password command failed, exit code: %1</translation>
    </message>
    <message>
        <source>获取到编码密码: %1</source>
        <translation>Got the encoded password: %1</translation>
    </message>
    <message>
        <source>Base64解码密码失败</source>
        <translation>Decoding the password from Base64 failed</translation>
    </message>
    <message>
        <source>Base64解码密码成功</source>
        <translation>Decoded the password from Base64</translation>
    </message>
    <message>
        <source>执行Kubernetes命令获取Devtron信息</source>
        <translation>Reading Devtron&apos;s details with Kubernetes commands</translation>
    </message>
    <message>
        <source>成功获取Devtron凭证，URL: %1, 用户名: admin</source>
        <translation>Got the Devtron credentials, URL: %1, username: admin</translation>
    </message>
    <message>
        <source>获取到Devtron URL: %1</source>
        <translation>Got the Devtron URL: %1</translation>
    </message>
    <message>
        <source>无法读取Devtron地址: %1</source>
        <translation>Cannot read the Devtron address: %1</translation>
    </message>
    <message>
        <source>无法读取Devtron密码: %1</source>
        <translation>Cannot read the Devtron password: %1</translation>
    </message>
    <message>
        <source>集群中没有serviceexporter类型，改为读取devtron-service服务</source>
        <translation>The cluster has no serviceexporter type; reading the devtron-service Service instead</translation>
    </message>
    <message>
        <source>获取Devtron服务: %1</source>
        <translation>Getting the Devtron Service: %1</translation>
    </message>
    <message>
        <source>获取服务命令执行失败，退出代码: %1</source>
        <translation>The Service command failed, exit code: %1</translation>
    </message>
    <message>
        <source>获取节点地址: %1</source>
        <translation>Getting the node addresses: %1</translation>
    </message>
    <message>
        <source>获取节点命令执行失败，退出代码: %1</source>
        <translation>The node command failed, exit code: %1</translation>
    </message>
    <message>
        <source>devtron-service无法从本机直接访问（%1），将通过本地隧道访问</source>
        <extracomment>%1 says why the Service cannot be reached directly.</extracomment>
        <translation>devtron-service cannot be reached directly from this machine (%1); it will be reached through a local tunnel</translation>
    </message>
    <message>
        <source>从devtron-service获取到地址: %1</source>
        <translation>Got the address from devtron-service: %1</translation>
    </message>
    <message>
        <source>ADMIN_PASSWORD尚未生成</source>
        <translation>ADMIN_PASSWORD has not been generated yet</translation>
    </message>
    <message>
        <source>成功获取Devtron凭证，地址将通过本地隧道提供，用户名: admin</source>
        <translation>Devtron credentials retrieved; the address comes through a local tunnel, user name: admin</translation>
    </message>
</context>
<context>
    <name>CredentialParser</name>
    <message>
        <source>从&apos;url:&apos;字段解析到URL: %1</source>
        <translation>URL from the &apos;url:&apos; field: %1</translation>
    </message>
    <message>
        <source>正则表达式匹配错误: %1</source>
        <translation>Regular expression error: %1</translation>
    </message>
    <message>
        <source>从Message字段解析到URL: %1</source>
        <translation>URL from the Message field: %1</translation>
    </message>
    <message>
        <source>通过正则表达式直接匹配到URL: %1</source>
        <translation>URL matched by the regular expression: %1</translation>
    </message>
</context>
<context>
    <name>DashboardTunnel</name>
    <message>
        <source>建立本地隧道: %1</source>
        <translation>Opening a local tunnel: %1</translation>
    </message>
    <message>
        <source>重新建立本地隧道（第%1次）</source>
        <translation>Reopening the local tunnel (attempt %1)</translation>
    </message>
    <message>
        <source>本地隧道已建立: %1</source>
        <translation>Local tunnel open: %1</translation>
    </message>
    <message>
        <source>kubectl已退出</source>
        <translation>kubectl has exited</translation>
    </message>
    <message>
        <source>本地隧道已断开: %1</source>
        <translation>Local tunnel closed: %1</translation>
    </message>
    <message>
        <source>%1秒后重新建立本地隧道</source>
        <extracomment>%1 is a number of seconds.</extracomment>
        <translation>Reopening the local tunnel in %1 s</translation>
    </message>
</context>
<context>
    <name>DetailedErrorView</name>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>安装错误</source>
        <translation>Installation error</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>错误详情</source>
        <translation>Error details</translation>
    </message>
</context>
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
    <message>
        <source>选择Devtron版本: %1</source>
        <translation>Devtron variant chosen: %1</translation>
    </message>
    <message>
        <source>选择安装来源: %1</source>
        <translation>Installation source chosen: %1</translation>
    </message>
    <message>
        <source>用户请求清理处于%1的Devtron发布</source>
        <translation>User asked to clean up the Devtron release in state %1</translation>
    </message>
    <message>
        <source>将在%1中执行以下命令，删除Devtron发布及其创建的资源：</source>
        <extracomment>%1 names the cluster; the command line follows.</extracomment>
        <translation>This command will run in %1 and remove the Devtron release and what it created:</translation>
    </message>
    <message>
        <source>用户取消了清理Devtron发布</source>
        <translation>User cancelled cleaning up the Devtron release</translation>
    </message>
    <message>
        <source>用户取消了删除发布记录</source>
        <translation>User cancelled removing the release record</translation>
    </message>
    <message>
        <source>执行命令: %1</source>
        <translation>Running command: %1</translation>
    </message>
    <message>
        <source>已清理处于%1的Devtron发布 ✓</source>
        <translation>Cleaned up the Devtron release in state %1 ✓</translation>
    </message>
    <message>
        <source>helm无法卸载处于%1的发布，可以删除它的发布记录%2</source>
        <translation>helm could not uninstall the release in state %1; its release record %2 can be removed</translation>
    </message>
    <message>
        <source>已删除发布记录%1 ✓</source>
        <translation>Removed release record %1 ✓</translation>
    </message>
    <message>
        <source>清理Devtron发布失败：%1</source>
        <translation>Cleaning up the Devtron release failed: %1</translation>
    </message>
    <message>
        <source>helm拒绝卸载处于%1状态的发布。可以删除第%2版的发布记录，然后重新检查。

将在%3中执行：</source>
        <extracomment>%1 is helm&apos;s state word, %2 the revision, %3 names the cluster; the command follows.</extracomment>
        <translation>helm refused to uninstall the release in state %1. The record of revision %2 can be removed, then the check runs again.

This will run in %3:</translation>
    </message>
    <message>
        <source>kubeconfig“%1”的当前集群</source>
        <extracomment>Names the cluster when no context was chosen; %1 is the kubeconfig&apos;s file name.</extracomment>
        <translation>the current cluster of kubeconfig “%1”</translation>
    </message>
    <message>
        <source>用户选择卸载Devtron</source>
        <translation>The user chose to uninstall Devtron</translation>
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
        <translation>Devtron is already installed</translation>
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
    <message>
        <source>您的集群中已经安装了Devtron。

如果您需要访问现有Devtron的账户和密码，请联系集群管理员获取。
kubeconfig有读取权限时，也可以直接从集群读取访问信息。</source>
        <translation>Devtron is already installed in your cluster.

If you need the account and password of the existing Devtron, ask the cluster&apos;s administrator.
If the kubeconfig allows it, the access details can also be read from the cluster.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Devtron版本</source>
        <translation>Devtron variant</translation>
    </message>
    <message>
        <source>最小安装（1核/1 GB）</source>
        <translation>Minimal (1 CPU / 1 GB)</translation>
    </message>
    <message>
        <source>CI/CD（2核/6 GB）</source>
        <translation>CI/CD (2 CPUs / 6 GB)</translation>
    </message>
    <message>
        <source>CI/CD与GitOps</source>
        <translation>CI/CD with GitOps</translation>
    </message>
    <message>
        <source>仅Devtron仪表盘，不含CI/CD模块</source>
        <translation>Devtron&apos;s dashboard alone, without the CI/CD module</translation>
    </message>
    <message>
        <source>CI/CD，另含Argo CD</source>
        <translation>CI/CD, plus Argo CD</translation>
    </message>
    <message>
        <source>安装来源</source>
        <translation>Installation source</translation>
    </message>
    <message>
        <source>适用于无法访问GitHub的网络</source>
        <translation>For networks that cannot reach GitHub</translation>
    </message>
    <message>
        <source>清理Devtron发布</source>
        <translation>Clean Up Devtron Release</translation>
    </message>
    <message>
        <source>清理后重新安装Devtron？</source>
        <translation>Clean up and reinstall Devtron?</translation>
    </message>
    <message>
        <source>清理</source>
        <translation>Clean Up</translation>
    </message>
    <message>
        <source>删除发布记录</source>
        <translation>Remove Release Record</translation>
    </message>
    <message>
        <source>删除挂起的发布记录？</source>
        <translation>Remove the pending release record?</translation>
    </message>
    <message>
        <source>删除记录</source>
        <translation>Remove Record</translation>
    </message>
    <message>
        <source>清理失败</source>
        <translation>Clean-up Failed</translation>
    </message>
    <message>
        <source>清理Devtron发布失败</source>
        <translation>Cleaning up the Devtron release failed</translation>
    </message>
    <message>
        <source>正在清理Devtron发布...</source>
        <translation>Cleaning up the Devtron release...</translation>
    </message>
    <message>
        <source>卸载Devtron</source>
        <translation>Uninstall Devtron</translation>
    </message>
</context>
<context>
    <name>DevtronChoices</name>
    <message>
        <source>最小安装</source>
        <translation>Minimal</translation>
    </message>
    <message>
        <source>CI/CD</source>
        <translation>CI/CD</translation>
    </message>
    <message>
        <source>CI/CD与GitOps</source>
        <translation>CI/CD with GitOps</translation>
    </message>
    <message>
        <source>Devtron版本: %1，安装来源: %2</source>
        <extracomment>%1 is the variant (for example CI/CD), %2 where the manifests come from (GitHub, Gitee).</extracomment>
        <translation>Devtron variant: %1, installation source: %2</translation>
    </message>
</context>
<context>
    <name>DevtronInstaller</name>
    <message>
        <source>环境配置失败：无法设置Kubernetes环境。请检查kubeconfig文件权限和有效性，以及kubectl和helm工具是否正常安装。</source>
        <translation>Environment setup failed: cannot set up the Kubernetes environment. Check that the kubeconfig file is readable and valid, and that kubectl and helm are installed properly.</translation>
    </message>
    <message>
        <source>无法开始安装：上一次的安装仍在后台运行，请等待它结束后再试</source>
        <translation>Cannot start the installation: the previous installation is still running in the background. Wait for it to end, then try again</translation>
    </message>
    <message>
        <source>无法创建日志文件: 没有可用的日志目录</source>
        <translation>Could not create the log file: no log folder is available</translation>
    </message>
    <message>
        <source>无法创建日志文件: %1</source>
        <translation>Could not create the log file: %1</translation>
    </message>
    <message>
        <source>完整安装日志文件位置: %1</source>
        <translation>Full installation log: %1</translation>
    </message>
    <message>
        <source>上一次的安装脚本仍在运行，不开始新的安装</source>
        <translation>The previous installation script is still running; not starting a new installation</translation>
    </message>
    <message>
        <source>在沙箱环境中执行安装前检查网络连接...</source>
        <translation>Checking the network connection in the sandbox before installing...</translation>
    </message>
    <message>
        <source>kubectl版本检查成功: %1</source>
        <translation>kubectl version check succeeded: %1</translation>
    </message>
    <message>
        <source>⚠️ 警告: kubectl版本检查失败: %1</source>
        <translation>⚠️ Warning: kubectl version check failed: %1</translation>
    </message>
    <message>
        <source>这可能表明沙箱网络权限有问题</source>
        <translation>The sandbox may lack network permissions</translation>
    </message>
    <message>
        <source>Devtron已安装</source>
        <translation>Devtron is already installed</translation>
    </message>
    <message>
        <source>您的集群中已经安装了Devtron。

如果您需要访问现有Devtron的账户和密码，请联系集群管理员获取。
kubeconfig有读取权限时，也可以直接从集群读取访问信息。</source>
        <translation>Devtron is already installed in your cluster.

If you need the account and password of the existing Devtron, ask the cluster&apos;s administrator.
If the kubeconfig allows it, the access details can also be read from the cluster.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>读取访问信息</source>
        <translation>Read access details</translation>
    </message>
    <message>
        <source>安装已取消，集群中已存在Devtron</source>
        <translation>Installation cancelled: Devtron already exists in the cluster</translation>
    </message>
    <message>
        <source>集群中已经安装了Devtron</source>
        <translation>Devtron is already installed in the cluster</translation>
    </message>
    <message>
        <source>安装已取消，不再启动安装脚本</source>
        <translation>Installation cancelled; the installation script is not started</translation>
    </message>
    <message>
        <source>检查集群中是否已安装Devtron并处于deployed状态...</source>
        <translation>Checking whether Devtron is installed in the cluster and deployed...</translation>
    </message>
    <message>
        <source>未找到名为devtron的Helm发布，可以安装Devtron</source>
        <translation>No Helm release named devtron found; Devtron can be installed</translation>
    </message>
    <message>
        <source>检查Devtron安装状态失败，退出代码: %1</source>
        <translation>Checking the Devtron installation status failed, exit code: %1</translation>
    </message>
    <message>
        <source>Devtron已安装，状态为deployed ✓</source>
        <translation>Devtron is installed, status deployed ✓</translation>
    </message>
    <message>
        <source>Devtron Helm发布存在，但状态不是deployed</source>
        <translation>The Devtron Helm release exists, but its status is not deployed</translation>
    </message>
    <message>
        <source>实际状态: %1</source>
        <translation>Actual status: %1</translation>
    </message>
    <message>
        <source>开始安装Devtron...</source>
        <translation>Installing Devtron...</translation>
    </message>
    <message>
        <source>使用安装脚本: %1</source>
        <translation>Using installation script: %1</translation>
    </message>
    <message>
        <source>使用kubeconfig: %1</source>
        <translation>Using kubeconfig: %1</translation>
    </message>
    <message>
        <source>设置PATH环境变量为: %1</source>
        <translation>Setting the PATH environment variable to: %1</translation>
    </message>
    <message>
        <source>使用当前选择的kubeconfig路径: %1</source>
        <translation>Using the selected kubeconfig path: %1</translation>
    </message>
    <message>
        <source>执行命令: %1</source>
        <translation>Running command: %1</translation>
    </message>
    <message>
        <source>先前的安装脚本已在后台结束：Devtron安装成功</source>
        <translation>The earlier installation script ended in the background: Devtron installed successfully</translation>
    </message>
    <message>
        <source>先前的安装脚本已在后台结束：安装失败，退出代码: %1</source>
        <translation>The earlier installation script ended in the background: Installation failed, exit code: %1</translation>
    </message>
    <message>
        <source>Devtron安装成功完成！✓</source>
        <translation>Devtron installed successfully! ✓</translation>
    </message>
    <message>
        <source>Devtron安装失败，退出代码: %1</source>
        <translation>Devtron installation failed, exit code: %1</translation>
    </message>
    <message>
        <source>错误输出:</source>
        <translation>Error output:</translation>
    </message>
    <message>
        <source>===== Devtron安装错误报告 =====</source>
        <translation>===== Devtron installation error report =====</translation>
    </message>
    <message>
        <source>时间: %1</source>
        <translation>Time: %1</translation>
    </message>
    <message>
        <source>命令: %1</source>
        <translation>Command: %1</translation>
    </message>
    <message>
        <source>退出代码: %1</source>
        <translation>Exit code: %1</translation>
    </message>
    <message>
        <source>标准输出:</source>
        <translation>Standard output:</translation>
    </message>
    <message>
        <source>错误报告已保存到: %1</source>
        <translation>Error report saved to: %1</translation>
    </message>
    <message>
        <source>无法保存错误报告: %1</source>
        <translation>Could not save the error report: %1</translation>
    </message>
    <message>
        <source>安装失败: %1

详细错误已复制到剪贴板，您可以直接粘贴查看或分享。

完整日志: %2</source>
        <extracomment>%1 is the installation script&apos;s error output, %2 the path of the full log.</extracomment>
        <translation>Installation failed: %1

The error details were copied to the clipboard; paste them to view or share.

Full log: %2</translation>
    </message>
    <message>
        <source>正在获取Devtron访问信息...</source>
        <translation>Getting the Devtron access details...</translation>
    </message>
    <message>
        <source>使用工具路径和系统路径: %1</source>
        <translation>Using the tools path and the system path: %1</translation>
    </message>
    <message>
        <source>使用kubeconfig路径: %1</source>
        <translation>Using kubeconfig path: %1</translation>
    </message>
    <message>
        <source>获取Devtron服务地址: %1</source>
        <translation>Getting the Devtron service address: %1</translation>
    </message>
    <message>
        <source>获取Devtron管理员密码: %1</source>
        <translation>Getting the Devtron admin password: %1</translation>
    </message>
    <message>
        <source>完成获取Devtron凭证: URL=%1, 用户名=admin</source>
        <translation>Got the Devtron credentials: URL=%1, username=admin</translation>
    </message>
    <message>
        <source>未能获取完整的Devtron凭证</source>
        <translation>Could not get complete Devtron credentials</translation>
    </message>
    <message>
        <source>日志文件已关闭: %1</source>
        <translation>Log file closed: %1</translation>
    </message>
    <message>
        <source>关闭日志文件时出错: %1</source>
        <translation>Could not close the log file cleanly: %1</translation>
    </message>
    <message>
        <source>安装进程取消请求已记录，但无法立即终止正在运行的命令</source>
        <translation>Cancel request recorded, but the command in progress cannot be stopped at once</translation>
    </message>
    <message>
        <source>请等待当前操作完成或重启应用...</source>
        <translation>Wait for the current operation to finish or restart the application...</translation>
    </message>
    <message>
        <source>应用运行环境: %1</source>
        <extracomment>%1 is either &quot;sandbox&quot; or &quot;not sandboxed&quot;.</extracomment>
        <translation>Application environment: %1</translation>
    </message>
    <message>
        <source>沙箱</source>
        <translation>sandbox</translation>
    </message>
    <message>
        <source>非沙箱</source>
        <translation>no sandbox</translation>
    </message>
    <message>
        <source>错误详情已复制到剪贴板</source>
        <translation>Error details copied to the clipboard</translation>
    </message>
    <message>
        <source>读取现有Devtron的访问信息</source>
        <translation>Read the access details of the existing Devtron</translation>
    </message>
</context>
<context>
    <name>DevtronRemoval</name>
    <message>
        <source>执行命令: %1</source>
        <translation>Running command: %1</translation>
    </message>
    <message>
        <source>正在删除中</source>
        <translation>being deleted</translation>
    </message>
    <message>
        <source>Devtron创建的命名空间</source>
        <translation>namespace created by Devtron</translation>
    </message>
    <message>
        <source>带有Devtron的Helm发布标记</source>
        <translation>marked as part of Devtron&apos;s Helm release</translation>
    </message>
    <message>
        <source>不是Devtron创建的</source>
        <translation>not created by Devtron</translation>
    </message>
    <message>
        <source>开始检查集群中的Devtron...</source>
        <translation>Checking the cluster for Devtron...</translation>
    </message>
    <message>
        <source>状态：%1，版本 %2</source>
        <translation>status: %1, revision %2</translation>
    </message>
    <message>
        <source>无法检查Helm发布：%1</source>
        <translation>Could not check the Helm release: %1</translation>
    </message>
    <message>
        <source>无法列出命名空间：%1</source>
        <translation>Could not list the namespaces: %1</translation>
    </message>
    <message>
        <source>无法检查CRD：%1</source>
        <translation>Could not check the CRD: %1</translation>
    </message>
    <message>
        <source>Devtron安装器的资源类型</source>
        <translation>the resource type of Devtron&apos;s installer</translation>
    </message>
    <message>
        <source>将删除: %1（%2）</source>
        <translation>Will delete: %1 (%2)</translation>
    </message>
    <message>
        <source>将保留: %1（%2）</source>
        <translation>Will keep: %1 (%2)</translation>
    </message>
    <message>
        <source>仍在删除中</source>
        <translation>still being deleted</translation>
    </message>
    <message>
        <source>仍在删除中，剩余finalizer：%1</source>
        <translation>still being deleted, finalizers remaining: %1</translation>
    </message>
    <message>
        <source>%1；%2</source>
        <extracomment>What holds an object being deleted, then what one of its conditions says.</extracomment>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>=== 开始卸载Devtron ===</source>
        <translation>=== Uninstalling Devtron ===</translation>
    </message>
    <message>
        <source>正在卸载Helm发布devtron...</source>
        <translation>Uninstalling the Helm release devtron...</translation>
    </message>
    <message>
        <source>卸载失败：%1</source>
        <translation>uninstall failed: %1</translation>
    </message>
    <message>
        <source>Helm发布未卸载，未删除</source>
        <translation>not deleted because the Helm release was not uninstalled</translation>
    </message>
    <message>
        <source>卸载Devtron失败</source>
        <translation>Uninstalling Devtron failed</translation>
    </message>
    <message>
        <source>正在删除命名空间%1...</source>
        <translation>Deleting namespace %1...</translation>
    </message>
    <message>
        <source>删除失败：%1</source>
        <translation>deletion failed: %1</translation>
    </message>
    <message>
        <source>正在删除CRD...</source>
        <translation>Deleting the CRD...</translation>
    </message>
    <message>
        <source>已删除: %1</source>
        <translation>Deleted: %1</translation>
    </message>
    <message>
        <source>正在等待删除完成：%1</source>
        <translation>Waiting for the deletion to finish: %1</translation>
    </message>
    <message>
        <source>无法确认是否已删除：%1</source>
        <translation>could not confirm the deletion: %1</translation>
    </message>
    <message>
        <source>未能删除: %1，%2</source>
        <translation>Not deleted: %1, %2</translation>
    </message>
    <message>
        <source>卸载已结束</source>
        <translation>Uninstall finished</translation>
    </message>
    <message>
        <source>Devtron已从集群中卸载 ✓</source>
        <translation>Devtron was uninstalled from the cluster ✓</translation>
    </message>
    <message>
        <source>卸载未完成，部分资源仍在集群中</source>
        <translation>The uninstall is incomplete; some resources are still in the cluster</translation>
    </message>
</context>
<context>
    <name>EnvironmentSetup</name>
    <message>
        <source>文件内容不是有效的UTF-8文本</source>
        <translation>The file is not valid UTF-8 text</translation>
    </message>
    <message>
        <source>开始配置环境...</source>
        <translation>Setting up the environment...</translation>
    </message>
    <message>
        <source>检测到应用在沙箱环境中运行，确保网络访问权限...</source>
        <translation>The application runs in a sandbox; making sure it has network access...</translation>
    </message>
    <message>
        <source>Kubeconfig文件不存在: %1</source>
        <translation>Kubeconfig file does not exist: %1</translation>
    </message>
    <message>
        <source>无法读取Kubeconfig文件: %1</source>
        <translation>Cannot read the kubeconfig file: %1</translation>
    </message>
    <message>
        <source>Kubeconfig文件可读，将直接使用: %1</source>
        <translation>Kubeconfig file is readable and used as is: %1</translation>
    </message>
    <message>
        <source>已设置KUBECONFIG环境变量为: %1</source>
        <translation>KUBECONFIG environment variable set to: %1</translation>
    </message>
    <message>
        <source>应用内置工具不存在，请重新安装应用</source>
        <translation>The bundled tools are missing. Reinstall the application</translation>
    </message>
    <message>
        <source>已设置工具执行权限</source>
        <translation>Made the tools executable</translation>
    </message>
    <message>
        <source>kubectl工具测试失败: %1</source>
        <translation>kubectl test failed: %1</translation>
    </message>
    <message>
        <source>kubectl工具可用: %1</source>
        <translation>kubectl is available: %1</translation>
    </message>
    <message>
        <source>helm工具测试失败: %1</source>
        <translation>helm test failed: %1</translation>
    </message>
    <message>
        <source>helm工具可用: %1</source>
        <translation>helm is available: %1</translation>
    </message>
    <message>
        <source>环境配置完成 - 使用应用内置工具</source>
        <translation>Environment set up - using the bundled tools</translation>
    </message>
    <message>
        <source>%1 已在应用内置工具目录中找到: %2</source>
        <extracomment>%1 is the tool&apos;s name (kubectl or helm), %2 its path.</extracomment>
        <translation>%1 found in the bundled tools folder: %2</translation>
    </message>
    <message>
        <source>工具权限: %1</source>
        <translation>Tool permissions: %1</translation>
    </message>
    <message>
        <source>%1 已在系统路径中找到: %2</source>
        <extracomment>%1 is the tool&apos;s name (kubectl or helm), %2 its path.</extracomment>
        <translation>%1 found in the system path: %2</translation>
    </message>
    <message>
        <source>%1 未在系统中安装，将使用应用内置版本</source>
        <extracomment>%1 is the tool&apos;s name (kubectl or helm).</extracomment>
        <translation>%1 is not installed on the system; the bundled version will be used</translation>
    </message>
    <message>
        <source>%1 版本: %2</source>
        <extracomment>%1 is the tool&apos;s path, %2 the version it printed.</extracomment>
        <translation>%1 version: %2</translation>
    </message>
    <message>
        <source>无法获取 %1 版本信息: %2</source>
        <extracomment>%1 is the tool&apos;s path, %2 its error output.</extracomment>
        <translation>Cannot get the version of %1: %2</translation>
    </message>
    <message>
        <source>检查网络访问权限...</source>
        <translation>Checking network access...</translation>
    </message>
    <message>
        <source>已启用网络访问权限</source>
        <translation>Network access enabled</translation>
    </message>
</context>
<context>
    <name>FileUtilities</name>
    <message>
        <source>源文件不存在: %1</source>
        <translation>Source file does not exist: %1</translation>
    </message>
    <message>
        <source>已创建目标目录: %1</source>
        <translation>Created the target folder: %1</translation>
    </message>
    <message>
        <source>已备份原文件: %1</source>
        <translation>Backed up the original file: %1</translation>
    </message>
    <message>
        <source>文件复制成功: %1 -&gt; %2</source>
        <translation>File copied: %1 -&gt; %2</translation>
    </message>
    <message>
        <source>复制文件失败: %1</source>
        <translation>Copying the file failed: %1</translation>
    </message>
    <message>
        <source>源路径: %1</source>
        <translation>Source path: %1</translation>
    </message>
    <message>
        <source>目标路径: %1</source>
        <translation>Target path: %1</translation>
    </message>
    <message>
        <source>使用shell命令复制文件成功</source>
        <translation>Copied the file with a shell command</translation>
    </message>
    <message>
        <source>shell复制也失败: %1</source>
        <translation>Copying with the shell failed too: %1</translation>
    </message>
    <message>
        <source>写入文件失败: %1</source>
        <translation>Writing the file failed: %1</translation>
    </message>
</context>
<context>
    <name>HttpFetch</name>
    <message>
        <source>；</source>
        <extracomment>Between two certificate faults.</extracomment>
        <translation>; </translation>
    </message>
    <message>
        <source>证书错误：%1</source>
        <translation>certificate error: %1</translation>
    </message>
    <message>
        <source>%1 秒内没有应答</source>
        <translation>no answer within %1 s</translation>
    </message>
    <message>
        <source>HTTP状态 %1</source>
        <translation>HTTP status %1</translation>
    </message>
</context>
<context>
    <name>InstallationController</name>
    <message>
        <source>环境配置失败：无法设置Kubernetes环境。请检查kubeconfig文件权限和有效性，以及kubectl和helm工具是否正常安装。</source>
        <translation>Environment setup failed: cannot set up the Kubernetes environment. Check that the kubeconfig file is readable and valid, and that kubectl and helm are installed properly.</translation>
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
    <name>InstallationState</name>
    <message>
        <source>设置Kubeconfig路径</source>
        <translation>Set the kubeconfig path</translation>
    </message>
    <message>
        <source>进入步骤: 选择是否安装Devtron</source>
        <translation>Entering step: Choose whether to install Devtron</translation>
    </message>
    <message>
        <source>进入步骤: 开始安装过程</source>
        <translation>Entering step: Start the installation</translation>
    </message>
    <message>
        <source>进入步骤: 等待服务启动</source>
        <translation>Entering step: Wait for services</translation>
    </message>
    <message>
        <source>未安装Devtron，跳过等待服务启动步骤</source>
        <translation>Devtron not installed; skipping the Wait for services step</translation>
    </message>
    <message>
        <source>进入步骤: 安装完成</source>
        <translation>Entering step: Finished</translation>
    </message>
    <message>
        <source>读取现有Devtron安装的访问信息</source>
        <translation>Reading the access details of the existing Devtron installation</translation>
    </message>
    <message>
        <source>总安装时间: %1</source>
        <translation>Total installation time: %1</translation>
    </message>
    <message>
        <source>=== 新安装会话开始 ===</source>
        <translation>=== New installation session ===</translation>
    </message>
    <message>
        <source>错误: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <source>%1分%2秒</source>
        <extracomment>Minutes (%1) and seconds (%2).</extracomment>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>创建日志文件失败: %1</source>
        <translation>Creating the log file failed: %1</translation>
    </message>
    <message>
        <source>=== Nimbrel 安装日志 ===</source>
        <translation>=== Nimbrel installation log ===</translation>
    </message>
    <message>
        <source>日志文件位置: %1</source>
        <translation>Log file: %1</translation>
    </message>
    <message>
        <source>安装会话开始</source>
        <translation>Installation session started</translation>
    </message>
    <message>
        <source>写入日志文件失败: %1</source>
        <translation>Writing the log file failed: %1</translation>
    </message>
    <message>
        <source>上下文“%1”（%2）</source>
        <extracomment>%1 is a kubeconfig context&apos;s name, %2 its cluster&apos;s server address.</extracomment>
        <translation>context “%1” (%2)</translation>
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
    <message>
        <source>已复制</source>
        <translation>Copied</translation>
    </message>
    <message>
        <source>正在检查集群中现有的Devtron...</source>
        <translation>Checking the cluster for an existing Devtron...</translation>
    </message>
</context>
<context>
    <name>InstallerLog</name>
    <message>
        <source>无法创建标准日志目录: %1</source>
        <translation>Could not create the standard log folder: %1</translation>
    </message>
    <message>
        <source>没有可用的私有临时目录</source>
        <translation>No private temporary folder is available</translation>
    </message>
    <message>
        <source>Devtron 安装日志 - 开始于 %1</source>
        <translation>Devtron installation log - started %1</translation>
    </message>
    <message>
        <source>Devtron 安装日志结束 - %1</source>
        <translation>End of Devtron installation log - %1</translation>
    </message>
</context>
<context>
    <name>KeychainError</name>
    <message>
        <source>没有可用的钥匙串服务</source>
        <translation>No keyring service is available</translation>
    </message>
    <message>
        <source>钥匙串未解锁或拒绝了访问</source>
        <translation>The keyring is locked or denied access</translation>
    </message>
    <message>
        <source>钥匙串无法保存这些信息</source>
        <translation>The keyring cannot store this data</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <extracomment>%1 is the cause, %2 the failure&apos;s code name and status.</extracomment>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1（%2，%3）</source>
        <extracomment>%1 is the cause, %2 the keychain service&apos;s own description, %3 the failure&apos;s code name and status.</extracomment>
        <translation>%1 (%2, %3)</translation>
    </message>
    <message>
        <source>钥匙串无法保存这些信息：%1</source>
        <extracomment>%1 is the loader&apos;s description of the missing component.</extracomment>
        <translation>The keyring cannot store this data: %1</translation>
    </message>
</context>
<context>
    <name>KubeconfigContexts</name>
    <message>
        <source>无法读取上下文：%1</source>
        <extracomment>%1 is kubectl&apos;s reason.</extracomment>
        <translation>Cannot read the contexts: %1</translation>
    </message>
    <message>
        <source>无法读取上下文：kubectl的输出不是有效的JSON</source>
        <translation>Cannot read the contexts: kubectl&apos;s output is not valid JSON</translation>
    </message>
    <message>
        <source>Kubeconfig文件中没有上下文</source>
        <translation>The kubeconfig file has no context</translation>
    </message>
    <message>
        <source>无法使用私有临时目录</source>
        <translation>The private temporary folder cannot be used</translation>
    </message>
    <message>
        <source>保存上下文副本失败：%1</source>
        <extracomment>%1 is the system&apos;s reason.</extracomment>
        <translation>Saving the copy of the context failed: %1</translation>
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
    <message>
        <source>使用上下文: %1，集群: %2</source>
        <extracomment>%1 is a kubeconfig context&apos;s name, %2 its cluster&apos;s server address.</extracomment>
        <translation>Using context: %1, cluster: %2</translation>
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
    <message numerus="yes">
        <source>共%n行日志</source>
        <translation>
            <numerusform>%n log line</numerusform>
            <numerusform>%n log lines</numerusform>
        </translation>
    </message>
    <message>
        <source>已复制</source>
        <translation>Copied</translation>
    </message>
</context>
<context>
    <name>NimbrelApp</name>
    <message>
        <source>应用内置工具不存在，请重新安装应用: %1</source>
        <translation>A bundled tool is missing, reinstall the app: %1</translation>
    </message>
    <message>
        <source>正在结束Nimbrel启动的进程... (%1个)</source>
        <translation>Ending the processes Nimbrel started... (%1)</translation>
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
    <message numerus="yes">
        <source>%1 核</source>
        <translation>
            <numerusform>%1 core</numerusform>
            <numerusform>%1 cores</numerusform>
        </translation>
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
        <translation>Checked %1: %2 %3</translation>
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
        <source>请添加节点或换用更大的节点，否则部分Pod可能无法调度</source>
        <translation>Add nodes or use larger ones, or some pods may not be scheduled</translation>
    </message>
    <message>
        <source>可以读取现有安装的访问信息，无需重新安装</source>
        <translation>The existing installation&apos;s access details can be read instead of installing again</translation>
    </message>
    <message>
        <source>集群中没有已部署的Devtron</source>
        <translation>No deployed Devtron in the cluster</translation>
    </message>
    <message>
        <source>无法检查已有安装</source>
        <translation>Cannot check for an existing installation</translation>
    </message>
    <message numerus="yes">
        <source>%n个可调度节点，可用 CPU %1、内存 %2</source>
        <translation>
            <numerusform>%n schedulable node, allocatable CPU %1, memory %2</numerusform>
            <numerusform>%n schedulable nodes, allocatable CPU %1, memory %2</numerusform>
        </translation>
    </message>
    <message>
        <source>目标集群</source>
        <translation>Target cluster</translation>
    </message>
    <message>
        <source>Chart仓库</source>
        <translation>Chart repository</translation>
    </message>
    <message>
        <source>检查Chart仓库: %1</source>
        <translation>Checking the chart repository: %1</translation>
    </message>
    <message>
        <source>%1，低于Devtron（%2）建议的 %3、%4</source>
        <extracomment>%1 is what the nodes offer; %2 is the chosen variant; %3 and %4 are the CPU and memory it asks for.</extracomment>
        <translation>%1, below the %3 and %4 Devtron (%2) recommends</translation>
    </message>
    <message>
        <source>可以访问 %1</source>
        <translation>%1 answers</translation>
    </message>
    <message>
        <source>无法访问Devtron的Chart仓库 %1：%2</source>
        <extracomment>%1 is the chart repository&apos;s address, %2 what went wrong.</extracomment>
        <translation>Devtron&apos;s chart repository %1 cannot be reached: %2</translation>
    </message>
    <message>
        <source>本机无法访问该仓库时，可以用环境变量DEVTRON_CHART指定本地Chart后重新启动</source>
        <translation>If this machine cannot reach it, name a local chart in the environment variable DEVTRON_CHART and start again</translation>
    </message>
    <message>
        <source>无法识别Helm返回的发布记录</source>
        <translation>Could not read the release record helm returned</translation>
    </message>
    <message>
        <source>上次安装未完成，Devtron发布处于%1</source>
        <translation>An earlier installation did not finish; the Devtron release is in state %1</translation>
    </message>
    <message>
        <source>需要先清理这个发布才能重新安装</source>
        <translation>This release must be cleaned up before installing again</translation>
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
    <message>
        <source>清理后重新安装</source>
        <translation>Clean up and reinstall</translation>
    </message>
</context>
<context>
    <name>PrivateFile</name>
    <message>
        <source>文件不存在</source>
        <translation>The file does not exist</translation>
    </message>
    <message>
        <source>没有读取该文件的权限</source>
        <translation>No permission to read the file</translation>
    </message>
    <message>
        <source>%1 字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>所选路径是文件夹，不是文件</source>
        <translation>The chosen path is a folder, not a file</translation>
    </message>
    <message>
        <source>所选文件是命名管道，不是普通文件</source>
        <translation>The chosen file is a named pipe, not a regular file</translation>
    </message>
    <message>
        <source>所选文件是设备文件，不是普通文件</source>
        <translation>The chosen file is a device file, not a regular file</translation>
    </message>
    <message>
        <source>所选路径不是普通文件</source>
        <translation>The chosen path is not a regular file</translation>
    </message>
    <message>
        <source>文件过大（%1 字节），Kubeconfig文件不能超过 %2</source>
        <extracomment>%1 is the file&apos;s size in bytes, %2 the largest size allowed.</extracomment>
        <translation>The file is too large (%1 bytes). A kubeconfig file cannot exceed %2</translation>
    </message>
    <message>
        <source>读取文件时出错: %1</source>
        <translation>Could not read the file: %1</translation>
    </message>
    <message>
        <source>文件过大，Kubeconfig文件不能超过 %1</source>
        <translation>The file is too large. A kubeconfig file cannot exceed %1</translation>
    </message>
    <message>
        <source>无法删除旧文件 %1（%2）</source>
        <extracomment>%1 is the file&apos;s path, %2 the system&apos;s reason.</extracomment>
        <translation>Cannot remove the old file %1 (%2)</translation>
    </message>
</context>
<context>
    <name>Privilege</name>
    <message>
        <source>命令执行成功，无需管理员权限</source>
        <translation>The command succeeded without administrator rights</translation>
    </message>
    <message>
        <source>普通权限执行失败，尝试使用管理员权限</source>
        <translation>Running without administrator rights failed; trying with administrator rights</translation>
    </message>
    <message>
        <source>创建临时脚本失败: %1</source>
        <translation>Creating the temporary script failed: %1</translation>
    </message>
    <message>
        <source>管理员权限命令执行成功</source>
        <translation>The administrator command succeeded</translation>
    </message>
    <message>
        <source>管理员权限命令失败: %1</source>
        <translation>The administrator command failed: %1</translation>
    </message>
    <message>
        <source>临时脚本用于以管理员权限执行命令</source>
        <extracomment>The comment line at the top of the script that pkexec runs.</extracomment>
        <translation>Temporary script for running commands with administrator rights</translation>
    </message>
    <message>
        <source>没有可用的图形化授权代理（polkit），无法请求管理员权限。请在桌面会话中运行，或在终端中手动运行该命令。</source>
        <translation>No graphical authorization agent (polkit) is available to ask for administrator rights. Run Nimbrel in a desktop session, or run the command by hand in a terminal.</translation>
    </message>
</context>
<context>
    <name>ReadinessReport</name>
    <message>
        <source>内存</source>
        <translation>memory</translation>
    </message>
    <message>
        <source>和</source>
        <extracomment>Joins the resources the nodes lack (&quot;CPU和内存&quot;).</extracomment>
        <translation> and </translation>
    </message>
    <message>
        <source>Pod %1 无法调度：节点的%2不足</source>
        <extracomment>%1 is the pod, %2 the resources the nodes lack.</extracomment>
        <translation>Pod %1 cannot be scheduled: the nodes lack %2</translation>
    </message>
    <message>
        <source>Pod %1 无法调度：%2</source>
        <extracomment>%1 is the pod, %2 the scheduler&apos;s message.</extracomment>
        <translation>Pod %1 cannot be scheduled: %2</translation>
    </message>
    <message>
        <source>devtroncd中还没有Pod</source>
        <translation>No pods in devtroncd yet</translation>
    </message>
    <message>
        <source>存储卷 %1 处于Pending状态：集群没有可用的默认StorageClass</source>
        <translation>Volume %1 is Pending: the cluster has no default StorageClass</translation>
    </message>
    <message>
        <source>容器 %1（Pod %2）反复崩溃</source>
        <translation>Container %1 (pod %2) keeps crashing</translation>
    </message>
    <message>
        <source>存储卷 %1 处于Pending状态：集群中没有StorageClass %2</source>
        <extracomment>%1 is the claim, %2 the StorageClass it names.</extracomment>
        <translation>Volume %1 is Pending: the cluster has no StorageClass %2</translation>
    </message>
    <message>
        <source>存储卷 %1 处于Pending状态（StorageClass %2）</source>
        <extracomment>%1 is the claim, %2 its StorageClass.</extracomment>
        <translation>Volume %1 is Pending (StorageClass %2)</translation>
    </message>
    <message>
        <source>无法拉取镜像 %1：%2</source>
        <extracomment>%1 is the image, %2 the kubelet&apos;s reason and message.</extracomment>
        <translation>Cannot pull image %1: %2</translation>
    </message>
</context>
<context>
    <name>ReadinessWatcher</name>
    <message>
        <source>Pod就绪: %1/%2</source>
        <translation>Pods ready: %1/%2</translation>
    </message>
    <message>
        <source>Pod就绪: %1/%2，%3</source>
        <extracomment>%1/%2 are the ready and all pods, %3 what holds the rest back.</extracomment>
        <translation>Pods ready: %1/%2. %3</translation>
    </message>
    <message>
        <source>Devtron已可以访问</source>
        <translation>Devtron is now reachable</translation>
    </message>
    <message>
        <source>正在检查Devtron的Pod...</source>
        <translation>Checking Devtron&apos;s pods...</translation>
    </message>
    <message>
        <source>Devtron暂时还无法访问</source>
        <translation>Devtron cannot be reached yet</translation>
    </message>
    <message>
        <source>无法读取Pod状态: %1</source>
        <translation>Cannot read the pod status: %1</translation>
    </message>
    <message>
        <source>Devtron状态: %1</source>
        <translation>Devtron status: %1</translation>
    </message>
    <message>
        <source>Devtron已可以访问: %1</source>
        <translation>Devtron is now reachable: %1</translation>
    </message>
    <message>
        <source>无法检查Devtron地址: %1</source>
        <translation>Cannot check Devtron&apos;s address: %1</translation>
    </message>
    <message>
        <source>Devtron安装器：尚未开始</source>
        <translation>Devtron installer: not started yet</translation>
    </message>
    <message>
        <source>Devtron安装器：已下载，正在应用（Downloaded）</source>
        <translation>Devtron installer: downloaded, applying (Downloaded)</translation>
    </message>
    <message>
        <source>Devtron安装器：已完成（Applied）</source>
        <translation>Devtron installer: done (Applied)</translation>
    </message>
    <message>
        <source>Devtron安装器：%1</source>
        <extracomment>%1 is the installer object&apos;s status as the cluster reports it.</extracomment>
        <translation>Devtron installer: %1</translation>
    </message>
    <message>
        <source>已等待%1分钟，停止检查，请稍后手动确认Devtron的状态</source>
        <extracomment>%1 is a number of minutes.</extracomment>
        <translation>Waited %1 minutes; stopped checking. Check Devtron&apos;s status by hand later</translation>
    </message>
    <message>
        <source>Devtron已可以访问，安装器仍在进行</source>
        <translation>Devtron is reachable; its installer is still working</translation>
    </message>
    <message>
        <source>已等待%1分钟，停止检查Devtron的状态</source>
        <translation>Waited %1 minutes; stopped checking Devtron&apos;s status</translation>
    </message>
    <message>
        <source>Devtron已安装完成并可以访问，停止检查</source>
        <translation>Devtron is installed and reachable; stopped checking</translation>
    </message>
    <message>
        <source>Devtron已可以访问，停止检查</source>
        <translation>Devtron is reachable; stopped checking</translation>
    </message>
</context>
<context>
    <name>ReleaseRecord</name>
    <message>
        <source>%1（第%2版）</source>
        <extracomment>%1 is helm&apos;s state word (failed, pending-install, ...), %2 the revision number.</extracomment>
        <translation>%1 (revision %2)</translation>
    </message>
    <message>
        <source>%1（第%2版，%3）</source>
        <extracomment>%1 is helm&apos;s state word, %2 the revision number, %3 the local time it was written.</extracomment>
        <translation>%1 (revision %2, %3)</translation>
    </message>
</context>
<context>
    <name>RemovalController</name>
    <message>
        <source>检查可卸载的Devtron资源，目标集群: %1</source>
        <translation>Checking which Devtron resources can be uninstalled, target cluster: %1</translation>
    </message>
    <message>
        <source>用户确认卸载Devtron，目标集群: %1</source>
        <translation>The user confirmed uninstalling Devtron, target cluster: %1</translation>
    </message>
    <message>
        <source>卸载未完成，保留钥匙串中的访问信息</source>
        <translation>The uninstall is incomplete; the access data in the keychain is kept</translation>
    </message>
    <message>
        <source>已删除钥匙串中保存的Devtron访问信息 ✓</source>
        <translation>Deleted the Devtron access data saved in the keychain ✓</translation>
    </message>
    <message>
        <source>删除钥匙串中的访问信息失败: %1</source>
        <translation>Deleting the access data from the keychain failed: %1</translation>
    </message>
</context>
<context>
    <name>RemovalView</name>
    <message>
        <source>Helm发布</source>
        <translation>Helm release</translation>
    </message>
    <message>
        <source>命名空间</source>
        <translation>Namespace</translation>
    </message>
    <message>
        <source>将删除：</source>
        <translation>Will be deleted:</translation>
    </message>
    <message>
        <source>已删除：</source>
        <translation>Deleted:</translation>
    </message>
    <message>
        <source>未删除：</source>
        <translation>Not deleted:</translation>
    </message>
    <message>
        <source>已保留：</source>
        <translation>Kept:</translation>
    </message>
    <message>
        <source>将保留：</source>
        <translation>Will be kept:</translation>
    </message>
    <message>
        <source>• %1（%2）</source>
        <extracomment>An object to remove or keep, and its state or why it stays.</extracomment>
        <translation>• %1 (%2)</translation>
    </message>
    <message>
        <source>卸载Devtron</source>
        <translation>Uninstall Devtron</translation>
    </message>
    <message>
        <source>目标集群：%1</source>
        <translation>Target cluster: %1</translation>
    </message>
    <message>
        <source>卸载进度</source>
        <translation>Uninstall progress</translation>
    </message>
    <message>
        <source>请输入“%1”以确认卸载：</source>
        <translation>Type “%1” to confirm the uninstall:</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>Retry</translation>
    </message>
    <message>
        <source>卸载</source>
        <translation>Uninstall</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>钥匙串中的访问信息未能删除：%1</source>
        <translation>The access data in the keychain could not be deleted: %1</translation>
    </message>
    <message>
        <source>钥匙串中保存的访问信息已删除。</source>
        <translation>The access data saved in the keychain was deleted.</translation>
    </message>
    <message>
        <source>钥匙串中保存的访问信息已保留。</source>
        <translation>The access data saved in the keychain was kept.</translation>
    </message>
    <message>
        <source>正在读取集群中的Devtron资源...</source>
        <translation>Reading Devtron&apos;s resources in the cluster...</translation>
    </message>
    <message>
        <source>以下资源将从集群中删除，此操作不可撤销。</source>
        <translation>The resources below will be deleted from the cluster. This cannot be undone.</translation>
    </message>
    <message>
        <source>集群中没有可卸载的Devtron资源。</source>
        <translation>The cluster holds no Devtron resources to uninstall.</translation>
    </message>
    <message>
        <source>正在卸载Devtron...</source>
        <translation>Uninstalling Devtron...</translation>
    </message>
    <message>
        <source>Devtron已卸载。</source>
        <translation>Devtron was uninstalled.</translation>
    </message>
    <message>
        <source>卸载未完成，部分资源仍在集群中。</source>
        <translation>The uninstall is incomplete; some resources are still in the cluster.</translation>
    </message>
</context>
<context>
    <name>ServiceAddress</name>
    <message>
        <source>无法解析devtron-service的内容</source>
        <translation>Cannot read the contents of devtron-service</translation>
    </message>
    <message>
        <source>负载均衡器尚未分配地址（&lt;pending&gt;）</source>
        <translation>the load balancer has no address yet (&lt;pending&gt;)</translation>
    </message>
    <message>
        <source>没有可用节点地址来访问NodePort</source>
        <translation>no node address to reach the NodePort</translation>
    </message>
    <message>
        <source>服务类型为%1，集群外无法直接访问</source>
        <extracomment>%1 is the Service&apos;s type, such as ClusterIP.</extracomment>
        <translation>the Service is of type %1 and cannot be reached from outside the cluster</translation>
    </message>
</context>
<context>
    <name>Services</name>
    <message>
        <source>无法加载组件 %1: %2</source>
        <translation>Cannot load the component %1: %2</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>成功设置环境变量 %1=%2 (仅当前进程)</source>
        <extracomment>%1 is the variable&apos;s name, %2 its value.</extracomment>
        <translation>Set the environment variable %1=%2 (this process only)</translation>
    </message>
    <message>
        <source>设置环境变量失败: %1=%2</source>
        <extracomment>%1 is the variable&apos;s name, %2 its value.</extracomment>
        <translation>Setting the environment variable failed: %1=%2</translation>
    </message>
    <message>
        <source>通过Shell验证环境变量已设置</source>
        <translation>The shell confirms the environment variable is set</translation>
    </message>
</context>
<context>
    <name>StepRowModel</name>
    <message>
        <source>当前步骤</source>
        <translation>Current step</translation>
    </message>
    <message>
        <source>已完成</source>
        <translation>Completed</translation>
    </message>
    <message>
        <source>未开始</source>
        <translation>Not started</translation>
    </message>
    <message>
        <source>%1，%2</source>
        <extracomment>A step&apos;s row as a screen reader says it: %1 is the step&apos;s title, %2 its state.</extracomment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>选择配置文件</source>
        <translation>Choose kubeconfig</translation>
    </message>
    <message>
        <source>选择安装选项</source>
        <translation>Installation options</translation>
    </message>
    <message>
        <source>安装组件</source>
        <translation>Install components</translation>
    </message>
    <message>
        <source>等待服务启动</source>
        <translation>Wait for services</translation>
    </message>
    <message>
        <source>安装完成</source>
        <translation>Finished</translation>
    </message>
    <message>
        <source>已跳过</source>
        <translation>Skipped</translation>
    </message>
</context>
<context>
    <name>SystemInfo</name>
    <message>
        <source>===== 系统环境信息 =====</source>
        <translation>===== System information =====</translation>
    </message>
    <message>
        <source>操作系统: %1</source>
        <translation>Operating system: %1</translation>
    </message>
    <message>
        <source>主机名: %1</source>
        <translation>Host name: %1</translation>
    </message>
    <message>
        <source>处理器核心数: %1</source>
        <translation>Processor cores: %1</translation>
    </message>
    <message>
        <source>物理内存: %1 GB</source>
        <translation>Physical memory: %1 GB</translation>
    </message>
    <message>
        <source>当前用户: %1</source>
        <translation>User: %1</translation>
    </message>
    <message>
        <source>当前工作目录: %1</source>
        <translation>Working folder: %1</translation>
    </message>
    <message>
        <source>应用名称: %1</source>
        <extracomment>%1 is the version, %2 the build number.</extracomment>
        <translation>Application name: %1</translation>
    </message>
    <message>
        <source>应用版本: %1 (Build %2)</source>
        <translation>Application version: %1 (Build %2)</translation>
    </message>
</context>
<context>
    <name>WaitingForServicesController</name>
    <message>
        <source>开始等待服务就绪阶段</source>
        <translation>Starting the wait for services</translation>
    </message>
    <message>
        <source>Devtron已在运行，直接获取访问信息</source>
        <translation>Devtron is already running, getting the access details now</translation>
    </message>
    <message>
        <source>等待Devtron服务启动，倒计时: %1秒</source>
        <translation>Waiting for Devtron&apos;s services to start, countdown: %1 s</translation>
    </message>
    <message>
        <source>跳过等待阶段（未安装Devtron）</source>
        <translation>Skipping the wait (Devtron not installed)</translation>
    </message>
    <message>
        <source>停止等待计时器</source>
        <translation>Stopping the wait timer</translation>
    </message>
    <message>
        <source>等待中... 剩余%1秒</source>
        <translation>Waiting... %1 s left</translation>
    </message>
    <message>
        <source>等待时间结束，开始检索Devtron凭证</source>
        <translation>Wait over, getting Devtron credentials</translation>
    </message>
    <message>
        <source>正在获取Devtron凭证...</source>
        <translation>Getting Devtron credentials...</translation>
    </message>
    <message>
        <source>服务启动完成，可以进入下一步</source>
        <translation>Services started, ready for the next step</translation>
    </message>
    <message>
        <source>未能获取完整的Devtron凭证，可在下一步重新读取</source>
        <translation>Could not get all Devtron credentials; they can be read again in the next step</translation>
    </message>
</context>
<context>
    <name>WaitingForServicesView</name>
    <message>
        <source>等待服务启动</source>
        <translation>Wait for services</translation>
    </message>
    <message>
        <source>Devtron服务正在启动中，请稍候...</source>
        <translation>Devtron&apos;s services are starting, please wait...</translation>
    </message>
    <message>
        <source>正在完成环境配置...</source>
        <translation>Finishing the environment setup...</translation>
    </message>
    <message>
        <source>正在初始化Devtron服务...</source>
        <translation>Initializing Devtron services...</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>等待进度</source>
        <translation>Wait progress</translation>
    </message>
    <message>
        <source>Devtron服务</source>
        <translation>Devtron services</translation>
    </message>
    <message>
        <source>剩余等待时间: %1秒</source>
        <translation>Time left: %1 s</translation>
    </message>
    <message>
        <source>正在获取Devtron凭证...</source>
        <translation>Getting Devtron credentials...</translation>
    </message>
    <message>
        <source>服务已准备就绪</source>
        <translation>Services are ready</translation>
    </message>
    <message>
        <source>准备就绪，点击「下一步」查看访问信息</source>
        <translation>Ready: click Next to see the access details</translation>
    </message>
    <message>
        <source>服务启动后将自动获取访问凭证</source>
        <translation>The access credentials are read once the services are up</translation>
    </message>
    <message>
        <source>点击「下一步」查看已读取的信息，未读取的可在那里重新读取</source>
        <translation>Click Next to see what was read; anything missing can be read again there</translation>
    </message>
</context>
<context>
    <name>WizardScreenView</name>
    <message>
        <source>上一步</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>下一步</source>
        <translation>Next</translation>
    </message>
</context>
</TS>
