<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>GalleryStage</name>
    <message>
        <source>开始配置环境...</source>
        <translation>Setting up the environment...</translation>
    </message>
    <message>
        <source>Kubeconfig文件可读，将直接使用: ~/.kube/my-cluster.yaml</source>
        <translation>Kubeconfig file is readable and used as is: ~/.kube/my-cluster.yaml</translation>
    </message>
    <message>
        <source>已设置KUBECONFIG环境变量为: ~/.kube/my-cluster.yaml</source>
        <translation>KUBECONFIG environment variable set to: ~/.kube/my-cluster.yaml</translation>
    </message>
    <message>
        <source>已设置工具执行权限</source>
        <translation>Made the tools executable</translation>
    </message>
    <message>
        <source>kubectl工具可用: Client Version: v1.32.3</source>
        <translation>kubectl is available: Client Version: v1.32.3</translation>
    </message>
    <message>
        <source>helm工具可用: v3.17.2+gcc2a2c5</source>
        <translation>helm is available: v3.17.2+gcc2a2c5</translation>
    </message>
    <message>
        <source>环境配置完成 - 使用应用内置工具</source>
        <translation>Environment set up - using the bundled tools</translation>
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
        <source>使用安装脚本: /opt/nimbrel/lib/nimbrel/tools/devtron-charts/install.sh</source>
        <translation>Using installation script: /opt/nimbrel/lib/nimbrel/tools/devtron-charts/install.sh</translation>
    </message>
    <message>
        <source>执行命令: cd /opt/nimbrel/lib/nimbrel/tools/devtron-charts &amp;&amp; ./install.sh</source>
        <translation>Running command: cd /opt/nimbrel/lib/nimbrel/tools/devtron-charts &amp;&amp; ./install.sh</translation>
    </message>
    <message>
        <source>Devtron安装成功完成！✓</source>
        <translation>Devtron installed successfully! ✓</translation>
    </message>
    <message>
        <source>安装完成，状态: 成功</source>
        <translation>Installation finished, status: success</translation>
    </message>
    <message>
        <source>安装完成，正在自动跳转到下一步...</source>
        <translation>Installation finished, moving on to the next step...</translation>
    </message>
    <message>
        <source>进入步骤: 等待服务启动</source>
        <translation>Entering step: Wait for services</translation>
    </message>
    <message>
        <source>开始等待服务就绪阶段</source>
        <translation>Starting the wait for services</translation>
    </message>
    <message>
        <source>等待Devtron服务启动，倒计时: 100秒</source>
        <translation>Waiting for Devtron&apos;s services to start, countdown: 100 s</translation>
    </message>
    <message>
        <source>等待中... 剩余50秒</source>
        <translation>Waiting... 50 s left</translation>
    </message>
    <message>
        <source>等待中... 剩余0秒</source>
        <translation>Waiting... 0 s left</translation>
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
        <source>执行Kubernetes命令获取Devtron信息</source>
        <translation>Reading Devtron&apos;s details with Kubernetes commands</translation>
    </message>
    <message>
        <source>获取Devtron服务地址: kubectl describe serviceexporter devtron-itf -n devtroncd</source>
        <translation>Getting the Devtron service address: kubectl describe serviceexporter devtron-itf -n devtroncd</translation>
    </message>
    <message>
        <source>命令执行成功，正在解析输出...</source>
        <translation>Command succeeded, parsing the output...</translation>
    </message>
    <message>
        <source>完整输出:</source>
        <translation>Full output:</translation>
    </message>
    <message>
        <source>从&apos;url:&apos;字段解析到URL: http://127.0.0.1:32080</source>
        <translation>URL from the &apos;url:&apos; field: http://127.0.0.1:32080</translation>
    </message>
    <message>
        <source>获取Devtron管理员密码: kubectl get secret -n devtroncd devtron-secret -o jsonpath={.data.ADMIN_PASSWORD}</source>
        <translation>Getting the Devtron admin password: kubectl get secret -n devtroncd devtron-secret -o jsonpath={.data.ADMIN_PASSWORD}</translation>
    </message>
    <message>
        <source>获取到编码密码: &lt;已隐藏, 24 字符&gt;</source>
        <translation>Got encoded password: &lt;hidden, 24 characters&gt;</translation>
    </message>
    <message>
        <source>Base64解码密码成功</source>
        <translation>Decoded the password from Base64</translation>
    </message>
    <message>
        <source>成功获取Devtron凭证，URL: http://127.0.0.1:32080, 用户名: admin</source>
        <translation>Got the Devtron credentials, URL: http://127.0.0.1:32080, username: admin</translation>
    </message>
    <message>
        <source>服务启动完成，可以进入下一步</source>
        <translation>Services started, ready for the next step</translation>
    </message>
    <message>
        <source>进入步骤: 安装完成</source>
        <translation>Entering step: Finished</translation>
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
        <source>开始安装程序...</source>
        <translation>Starting the installer...</translation>
    </message>
    <message>
        <source>开始安装Devtron...</source>
        <translation>Installing Devtron...</translation>
    </message>
</context>
</TS>
