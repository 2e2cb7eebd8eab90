spec_i([ trn, 'Pedido', 'Transaccion Pedido' ]).
level_i(Pedido,1,'Pedido',[PedId]).
level_i(PedLinea,2,'PedLinea',[PedId]).
table_i(Pedido,'Pedido',[PedId,PedFch,PrvId],[PedId]).
attri_i(PedId,'Pedido',numeric(8),'PedId de Pedido').
att_prop_i(PedId,nullable,no).
attri_i(PedFch,'Pedido',numeric(8),'PedFch de Pedido').
att_prop_i(PedFch,nullable,no).
attri_i(PrvId,'Pedido',numeric(8),'PrvId de Pedido').
att_prop_i(PrvId,nullable,no).
tbl_att_prop_i(Pedido,PedId,autonumber,yes).
table_i(PedLinea,'PedLinea',[PedId,PlnId,PrdId,PlnCnt],[PedId]).
attri_i(PedId,'PedLinea',numeric(8),'PedId de PedLinea').
att_prop_i(PedId,nullable,no).
attri_i(PlnId,'PedLinea',numeric(8),'PlnId de PedLinea').
att_prop_i(PlnId,nullable,no).
attri_i(PrdId,'PedLinea',numeric(8),'PrdId de PedLinea').
att_prop_i(PrdId,nullable,no).
attri_i(PlnCnt,'PedLinea',numeric(8),'PlnCnt de PedLinea').
att_prop_i(PlnCnt,nullable,no).
tbl_att_prop_i(PedLinea,PedId,autonumber,yes).
tbl_to_delete_i(Pedido,'Borrar si no hay referencias').
rule_i(1,rule([error('Pedido'),if(isnull(PedFch))]),'Dato requerido').
rule_i(0,prop(PrvId,readonly,yes)).
rule_i(0,datastore(Default,Pedido)).
rule_i(2,rule([error('PedLinea'),if(isnull(PlnId))]),'Dato requerido').
rule_i(0,prop(PlnCnt,readonly,yes)).
rule_i(0,datastore(Default,PedLinea)).
subview_i(1,'Principal').
map_i(1,0,0).
std_color_i(1,black).
a_alias_i(PedId,Codigo).
v_i(&Mensaje,char(40),'Mensaje de la pantalla').
b_line_i(1,cmd,'Confirmar').
b_line_i(2,label,'Cancelar').
