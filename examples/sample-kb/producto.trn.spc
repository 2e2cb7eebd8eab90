spec_i([ trn, 'Producto', 'Transaccion Producto' ]).
level_i(Producto,1,'Producto',[PrdId]).
table_i(Producto,'Producto',[PrdId,PrdDsc,PrdPre,PrdStk],[PrdId]).
attri_i(PrdId,'Producto',numeric(8),'PrdId de Producto').
att_prop_i(PrdId,nullable,no).
attri_i(PrdDsc,'Producto',numeric(8),'PrdDsc de Producto').
att_prop_i(PrdDsc,nullable,no).
attri_i(PrdPre,'Producto',numeric(8),'PrdPre de Producto').
att_prop_i(PrdPre,nullable,no).
attri_i(PrdStk,'Producto',numeric(8),'PrdStk de Producto').
att_prop_i(PrdStk,nullable,no).
tbl_att_prop_i(Producto,PrdId,autonumber,yes).
tbl_to_delete_i(Producto,'Borrar si no hay referencias').
rule_i(1,rule([error('Producto'),if(isnull(PrdDsc))]),'Dato requerido').
rule_i(0,prop(PrdStk,readonly,yes)).
rule_i(0,datastore(Default,Producto)).
subview_i(1,'Principal').
map_i(1,0,0).
std_color_i(1,black).
a_alias_i(PrdId,Codigo).
v_i(&Mensaje,char(40),'Mensaje de la pantalla').
b_line_i(1,cmd,'Confirmar').
b_line_i(2,label,'Cancelar').
