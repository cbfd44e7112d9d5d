graph [
directed 1
node
[
id 0
component_id 2
]
node
[
id 1
component_id 1
load_id 0
num_customers 10
load 100.0000
]
node
[
id 2
component_id 1
load_id 1
num_customers 20
load 50.0000
]
node
[
id 3
component_id 1
load_id 2
num_customers 30
load 40.0000
]
node
[
id 4
component_id 3
]
node
[
id 5
component_id 3
]
node
[
id 6
component_id 3
]
node
[
id 7
component_id 3
]
node
[
id 8
component_id 3
]
node
[
id 9
component_id 3
]
node
[
id 10
component_id 3
]
node
[
id 11
component_id 3
]
node
[
id 12
component_id 4
]
edge
[
source 0
target 4
feeder_type_id 1
main_feeder_id 1
fault_rate 0.0000
repair_time 0.0000
length 0.0000
max_cap 10000000.0000
switch_id 3
trans_id 0
]
edge
[
source 4
target 5
feeder_type_id 1
main_feeder_id 2
fault_rate 0.1000
repair_time 4.0000
length 1.0000
max_cap 10000000.0000
switch_id 0
trans_id 0
]
edge
[
source 5
target 6
feeder_type_id 1
main_feeder_id 3
fault_rate 0.0000
repair_time 0.0000
length 0.0000
max_cap 10000000.0000
switch_id 2
switch_time 0.5000
trans_id 0
]
edge
[
source 7
target 6
feeder_type_id 1
main_feeder_id 4
fault_rate 0.2000
repair_time 5.0000
length 1.0000
max_cap 10000000.0000
switch_id 0
trans_id 0
]
edge
[
source 7
target 8
feeder_type_id 1
main_feeder_id 5
fault_rate 0.0000
repair_time 0.0000
length 0.0000
max_cap 10000000.0000
switch_id 2
switch_time 0.7500
trans_id 0
]
edge
[
source 8
target 9
feeder_type_id 1
main_feeder_id 6
fault_rate 0.1500
repair_time 6.0000
length 1.0000
max_cap 10000000.0000
switch_id 0
trans_id 0
]
edge
[
source 5
target 1
feeder_type_id 2
lat_feeder_id 7
fault_rate 0.0500
repair_time 2.0000
length 1.0000
max_cap 10000000.0000
switch_id 0
trans_id 0
]
edge
[
source 9
target 2
feeder_type_id 2
lat_feeder_id 8
fault_rate 0.3000
repair_time 3.0000
length 1.0000
max_cap 10000000.0000
switch_id 1
trans_id 0
]
edge
[
source 0
target 10
feeder_type_id 1
main_feeder_id 9
fault_rate 0.0000
repair_time 0.0000
length 0.0000
max_cap 10000000.0000
switch_id 3
trans_id 0
]
edge
[
source 10
target 11
feeder_type_id 1
main_feeder_id 10
fault_rate 0.0000
repair_time 0.0000
length 0.0000
max_cap 70.0000
switch_id 0
trans_id 0
]
edge
[
source 11
target 3
feeder_type_id 2
lat_feeder_id 11
fault_rate 0.0000
repair_time 0.0000
length 0.0000
max_cap 10000000.0000
switch_id 0
trans_id 1
trans_outage_rate 0.0200
trans_repair_time 150.0000
]
edge
[
source 9
target 4
feeder_type_id 1
main_feeder_id 12
fault_rate 0.1000
repair_time 1.0000
length 1.0000
max_cap 5.0000
switch_id 0
trans_id 0
]
edge
[
source 9
target 11
feeder_type_id 3
recl_feeder_id 0
length 0.0000
max_cap 10000000.
switch_id 4
recl_time 1.0000
trans_id 0
]
edge
[
source 1
target 12
feeder_type_id 1
main_feeder_id 1000
fault_rate 0
repair_time 0
length 0
max_cap 10000000.
switch_id 0
trans_id 0
]
edge
[
source 2
target 12
feeder_type_id 1
main_feeder_id 1001
fault_rate 0
repair_time 0
length 0
max_cap 10000000.
switch_id 0
trans_id 0
]
edge
[
source 3
target 12
feeder_type_id 1
main_feeder_id 1002
fault_rate 0
repair_time 0
length 0
max_cap 10000000.
switch_id 0
trans_id 0
]
]
