spec_i([ trn, 'Factura', 'Transaccion Factura' ]).
level_i(Factura,1,'Factura',[FacId]).
level_i(FacLinea,2,'FacLinea',[FacId]).
table_i(Factura,'Factura',[FacId,FacFch,CliId,FacTot],[FacId]).
attri_i(FacId,'Factura',numeric(8),'FacId de Factura').
att_prop_i(FacId,nullable,no).
attri_i(FacFch,'Factura',numeric(8),'FacFch de Factura').
att_prop_i(FacFch,nullable,no).
attri_i(CliId,'Factura',numeric(8),'CliId de Factura').
att_prop_i(CliId,nullable,no).
attri_i(FacTot,'Factura',numeric(8),'FacTot de Factura').
att_prop_i(FacTot,nullable,no).
tbl_att_prop_i(Factura,FacId,autonumber,yes).
table_i(FacLinea,'FacLinea',[FacId,LinId,PrdId,LinCnt,LinImp],[FacId]).
attri_i(FacId,'FacLinea',numeric(8),'FacId de FacLinea').
att_prop_i(FacId,nullable,no).
attri_i(LinId,'FacLinea',numeric(8),'LinId de FacLinea').
att_prop_i(LinId,nullable,no).
attri_i(PrdId,'FacLinea',numeric(8),'PrdId de FacLinea').
att_prop_i(PrdId,nullable,no).
attri_i(LinCnt,'FacLinea',numeric(8),'LinCnt de FacLinea').
att_prop_i(LinCnt,nullable,no).
attri_i(LinImp,'FacLinea',numeric(8),'LinImp de FacLinea').
att_prop_i(LinImp,nullable,no).
tbl_att_prop_i(FacLinea,FacId,autonumber,yes).
tbl_to_delete_i(Factura,'Borrar si no hay referencias').
rule_i(1,rule([error('Factura'),if(isnull(FacFch))]),'Dato requerido').
rule_i(0,prop(FacTot,readonly,yes)).
rule_i(0,datastore(Default,Factura)).
rule_i(2,rule([error('FacLinea'),if(isnull(LinId))]),'Dato requerido').
rule_i(0,prop(LinImp,readonly,yes)).
rule_i(0,datastore(Default,FacLinea)).
subview_i(1,'Principal').
map_i(1,0,0).
std_color_i(1,black).
a_alias_i(FacId,Codigo).
v_i(&Mensaje,char(40),'Mensaje de la pantalla').
b_line_i(1,cmd,'Confirmar').
b_line_i(2,label,'Cancelar').
