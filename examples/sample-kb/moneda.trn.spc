spec_i([ trn, 'Moneda', 'Transaccion Moneda' ]).
level_i(Moneda,1,'Moneda',[MonId]).
table_i(Moneda,'Moneda',[MonId,MonDsc,MonSim],[MonId]).
attri_i(MonId,'Moneda',numeric(8),'MonId de Moneda').
att_prop_i(MonId,nullable,no).
attri_i(MonDsc,'Moneda',numeric(8),'MonDsc de Moneda').
att_prop_i(MonDsc,nullable,no).
attri_i(MonSim,'Moneda',numeric(8),'MonSim de Moneda').
att_prop_i(MonSim,nullable,no).
tbl_att_prop_i(Moneda,MonId,autonumber,yes).
tbl_to_delete_i(Moneda,'Borrar si no hay referencias').
rule_i(1,rule([error('Moneda'),if(isnull(MonDsc))]),'Dato requerido').
rule_i(0,prop(MonSim,readonly,yes)).
rule_i(0,datastore(Default,Moneda)).
subview_i(1,'Principal').
map_i(1,0,0).
std_color_i(1,black).
a_alias_i(MonId,Codigo).
v_i(&Mensaje,char(40),'Mensaje de la pantalla').
b_line_i(1,cmd,'Confirmar').
b_line_i(2,label,'Cancelar').
