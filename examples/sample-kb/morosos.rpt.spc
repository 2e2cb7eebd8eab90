spec_i([ rpt, 'Morosos', 'Reporte Morosos' ]).
header_i(0,title([]),'Encabezado 0').
header_i(1,title([]),'Encabezado 1').
header_i(2,title([]),'Encabezado 2').
header_i(3,title([]),'Encabezado 3').
header_i(4,title([]),'Encabezado 4').
b_line_i(1,print,'Detalle 0 del reporte').
b_line_i(2,print,'Detalle 1 del reporte').
b_line_i(3,print,'Detalle 2 del reporte').
b_line_i(4,print,'Detalle 3 del reporte').
v_i(&Total,numeric(12,2),'Total').
map_i(2,0,1).
