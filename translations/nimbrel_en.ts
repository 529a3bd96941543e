<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
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
        <translation>Saving to the keychain failed: %1</translation>
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
        <translation>Saving to the keychain failed</translation>
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
        <source>无法拉取镜像 %1：无法访问镜像仓库</source>
        <translation>Cannot pull image %1: the image registry cannot be reached</translation>
    </message>
    <message>
        <source>容器 %1（Pod %2）反复崩溃</source>
        <translation>Container %1 (pod %2) keeps crashing</translation>
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
        <translation>Pods ready: %1/%2, %3</translation>
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
        <source>已等待30分钟，停止检查，请稍后手动确认Devtron的状态</source>
        <translation>Waited 30 minutes and stopped checking; check Devtron&apos;s status by hand later</translation>
    </message>
    <message>
        <source>Devtron暂时还无法访问</source>
        <translation>Devtron cannot be reached yet</translation>
    </message>
    <message>
        <source>已等待30分钟，停止检查Devtron的状态</source>
        <translation>Waited 30 minutes, stopped checking Devtron&apos;s status</translation>
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
        <source>点击「下一步」查看已读取的信息并重新读取</source>
        <translation>Click Next to see what was read and read again</translation>
    </message>
    <message>
        <source>准备就绪，点击「下一步」查看访问信息</source>
        <translation>Ready: click Next to see the access details</translation>
    </message>
    <message>
        <source>服务启动后将自动获取访问凭证</source>
        <translation>The access credentials are read once the services are up</translation>
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
