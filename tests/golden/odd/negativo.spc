map_i(1,0)
map_i(2,0)
subview_i(1)
