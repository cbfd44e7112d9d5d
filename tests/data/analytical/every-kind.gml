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
num_customers 0
load 0.0000
]
node
[
id 2
component_id 1
load_id 1
num_customers 0
load 0.0000
]
node
[
id 3
component_id 3
]
edge
[
source 0
target 3
feeder_type_id 1
main_feeder_id 1
fault_rate 0.1250
repair_time 0.0000
length 0.0000
max_cap 10000000.0000
switch_id 3
trans_id 0
]
node
[
id 4
component_id 3
]
edge
[
source 3
target 4
feeder_type_id 2
lat_feeder_id 2
fault_rate 0.0000
repair_time 0.0000
length 0.0000
max_cap 10000000.0000
switch_id 1
trans_id 0
]
node
[
id 5
component_id 3
]
edge
[
source 4
target 5
feeder_type_id 2
lat_feeder_id 3
fault_rate 0.0000
repair_time 0.0000
length 0.0000
max_cap 10000000.0000
switch_id 2
switch_time 0.5000
trans_id 0
]
node
[
id 6
component_id 3
]
edge
[
source 5
target 6
feeder_type_id 3
recl_feeder_id 0
length 2.0000
max_cap 10000000.
switch_id 4
recl_time 1.2500
trans_id 0
]
node
[
id 7
component_id 3
]
edge
[
source 6
target 7
feeder_type_id 2
lat_feeder_id 4
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
source 7
target 1
feeder_type_id 2
lat_feeder_id 5
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
source 1
target 2
feeder_type_id 2
lat_feeder_id 6
fault_rate 0.0000
repair_time 0.0000
length 0.0000
max_cap 0.0000
switch_id 0
trans_id 0
]
node
[
id 8
component_id 4
]
edge
[
source 1
target 8
feeder_type_id 1
main_feeder_id 8
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
target 8
feeder_type_id 1
main_feeder_id 9
fault_rate 0
repair_time 0
length 0
max_cap 10000000.
switch_id 0
trans_id 0
]
]
