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
component_id 3
]
node
[
id 999
component_id 4
]
edge
[
source 0
target 2
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
source 2
target 1
feeder_type_id 2
lat_feeder_id 2
fault_rate 0.5000
repair_time 4.0000
length 1.0000
max_cap 10000000.0000
switch_id 0
trans_id 0
]
edge
[
source 1
target 999
feeder_type_id 1
main_feeder_id 1000
fault_rate 0
repair_time 0
length 0
max_cap 10000000.
switch_id 0
trans_id 0
]
]
