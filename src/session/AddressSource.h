#pragma once

// Where Devtron's address came from. Only what the cluster itself gives (the exporter, a load
// balancer, a node port) is Devtron's own address; a local tunnel's ends with Nimbrel.
enum class AddressSource { none, exporter, loadBalancer, nodePort, tunnel };
