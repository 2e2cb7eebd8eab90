spec_i([ trn, 'Linea' ])
table_i(Pedido,'Pedido',[PedId])
level_i(Linea,1,'Linea')
